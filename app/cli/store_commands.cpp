// The batch commands over the store itself: list, get, set, add, delete,
// init and demo.
#include <charconv>
#include <ostream>

#include "app/cli/command.h"
#include "app/cli/escape.h"
#include "store/catalogue.h"
#include "store/demo_projects.h"
#include "store/store_operations.h"
#include "store/titles.h"
#include "store/value_rules.h"

namespace zorbix::cli {
namespace {

using store::ColumnIndex;

// Makes the project of that number current, as the locate box does.
base::Outcome Locate(Context& ctx, const std::string& number) {
    return store::LocateProject(ctx.store.records(), ctx.prompter, number);
}

std::string TakeNumber(Context& ctx) {
    if (ctx.args.empty()) throw UsageError("缺少项目编号。");
    std::string number = ctx.args.front();
    ctx.args.erase(ctx.args.begin());
    return number;
}

}  // namespace

int ListCommand(Context& ctx) {
    ctx.NoMoreArguments();
    auto& records = ctx.store.records();
    for (int p = 1; p <= records.Count(); ++p) {
        const store::Record row = records.ReadRow(p);
        ctx.out << Escape(row[store::kNumberColumn]) << '\t' << Escape(row[ColumnIndex("JB01")])
                << '\n';
    }
    return ExitStatus(base::Outcome::Done);
}

int GetCommand(Context& ctx) {
    const std::string number = TakeNumber(ctx);
    std::vector<int> columns;
    for (const auto& name : ctx.args) {
        const auto index = store::FindColumn(name);
        if (!index) throw UsageError("没有名为" + name + "的列。");
        columns.push_back(*index);
    }
    if (columns.empty())
        for (int i = 0; i < store::kColumnCount; ++i) columns.push_back(i);
    if (const auto located = Locate(ctx, number); !located) return ExitStatus(located);
    const auto& records = ctx.store.records();
    for (int c : columns)
        ctx.out << store::Columns()[c].name << '=' << Escape(records.Value(c)) << '\n';
    return ExitStatus(base::Outcome::Done);
}

int SetCommand(Context& ctx) {
    const std::string number = TakeNumber(ctx);
    std::vector<std::pair<int, std::string>> values;
    for (const auto& assignment : ctx.args) {
        const auto eq = assignment.find('=');
        if (eq == std::string::npos) throw UsageError("应写成 列名=值：" + assignment);
        const auto index = store::FindColumn(assignment.substr(0, eq));
        if (!index) throw UsageError("没有名为" + assignment.substr(0, eq) + "的列。");
        auto value = Unescape(std::string_view(assignment).substr(eq + 1));
        if (!value) throw UsageError("值中的反斜杠转义无效：" + assignment);
        values.emplace_back(*index, std::move(*value));
    }
    if (values.empty()) throw UsageError("没有给出要写入的 列名=值。");
    if (const auto located = Locate(ctx, number); !located) return ExitStatus(located);
    auto& records = ctx.store.records();
    for (const auto& [column, value] : values) {
        const store::Column& c = store::Columns()[column];
        if (const auto fault = store::ValueFault(c, value)) {
            base::Inform(ctx.prompter, store::kProgramTitle,
                         store::ValuePlace(records.Value(store::kNumberColumn), c) + *fault +
                             "，本程序的输出文件无法保存它。没有写入任何值。",
                         base::Icon::Exclamation);
            return ExitStatus(base::Outcome::Refused);
        }
    }
    store::OperationLabel label(records, store::operation::kSet);
    for (auto& [column, value] : values) records.SetValue(column, std::move(value));
    records.WriteBack();
    return ExitStatus(base::Outcome::Done);
}

int AddCommand(Context& ctx) {
    const std::string number = TakeNumber(ctx);
    ctx.NoMoreArguments();
    ctx.prompter.QueueText(number);
    return ExitStatus(store::AddProject(ctx.store.records(), ctx.prompter));
}

int DeleteCommand(Context& ctx) {
    const auto number = ctx.TakeOption("--project");
    ctx.NoMoreArguments();
    if (!number) throw UsageError("delete 需要 --project 项目编号。");
    if (const auto located = Locate(ctx, *number); !located) return ExitStatus(located);
    return ExitStatus(store::DeleteProject(ctx.store.records(), ctx.prompter));
}

int InitCommand(Context& ctx) {
    ctx.NoMoreArguments();
    return ExitStatus(store::InitialiseStore(ctx.store.records(), ctx.prompter));
}

int DemoCommand(Context& ctx) {
    const auto seed_text = ctx.TakeOption("--seed");
    if (ctx.args.size() != 1) throw UsageError("demo 需要一个项目数。");
    int count = 0;
    const std::string& text = ctx.args.front();
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), count);
    if (error != std::errc() || end != text.data() + text.size() || count < 0)
        throw UsageError("项目数应为非负整数：" + text);
    std::uint64_t seed = 2013;
    if (seed_text) {
        auto [e2, err2] =
            std::from_chars(seed_text->data(), seed_text->data() + seed_text->size(), seed);
        if (err2 != std::errc() || e2 != seed_text->data() + seed_text->size())
            throw UsageError("--seed 应为非负整数：" + *seed_text);
    }
    const int room = 32767 - ctx.store.records().Count();
    if (count > room) {
        base::Inform(
            ctx.prompter, store::kProgramTitle,
            "数据库最多保存32767个项目，只能再添加" + std::to_string(std::max(room, 0)) + "个。");
        return ExitStatus(base::Outcome::Refused);
    }
    store::AddDemoProjects(ctx.store.records(), count, seed, &ctx.prompter);
    return ExitStatus(base::Outcome::Done);
}

}  // namespace zorbix::cli
