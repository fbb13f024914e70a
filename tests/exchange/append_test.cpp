// Appending exchange files: duplicates by value, incomplete and bad files,
// messages, and where the store stands afterwards.
#include <gtest/gtest.h>

#include <fstream>

#include "base/gbk.h"
#include "exchange/exchange_operations.h"
#include "exchange/exchange_writer.h"
#include "store/catalogue.h"
#include "store/demo_projects.h"
#include "store/store.h"
#include "tests/support/param_names.h"
#include "tests/support/recording_prompter.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_database.h"

namespace zorbix::exchange {
namespace {

using testing::RecordingPrompter;
using testing::TempDir;

constexpr const char* kDone = "追加数据完成。";

std::string RecordText(const std::string& number, const std::string& name = "") {
    store::Row row(store::kColumnCount);
    row[1] = number;
    row[2] = name;
    return RecordBytes(store::Record(row), kSubmitPlaceholder);
}

class Append : public ::testing::Test {
protected:
    TempDir dir;
    std::unique_ptr<store::Store> opened = testing::OpenTestStore(dir.path());
    store::Store& store = *opened;
    store::RecordSet& records = store.records();
    RecordingPrompter prompter;

    AppendResult AppendBytes(const std::string& bytes) {
        std::ofstream(dir / "in.kj", std::ios::binary) << bytes;
        prompter.files.push_back(dir / "in.kj");
        return AppendProjects(records, prompter, dir.path());
    }
    std::vector<std::string> Numbers() { return records.ColumnValues(1); }
    void Store(const std::string& number) {
        records.AddNew();
        records.SetValue("JB02", number);
        records.WriteBack();
    }
};

TEST_F(Append, DialogAsTheSurveySetsItUp) {
    AppendBytes(RecordText("201300000001"));
    ASSERT_EQ(prompter.dialogs.size(), 1u);
    EXPECT_EQ(prompter.dialogs[0].title, "数据追加");
    EXPECT_EQ(prompter.dialogs[0].filter, "Kj|*.kj");
    EXPECT_EQ(prompter.dialogs[0].initial_dir, dir.path());
}

TEST_F(Append, NoFileChosenAsksTheSurveysQuestion) {
    EXPECT_EQ(AppendProjects(records, prompter, dir.path()).outcome, Outcome::Cancelled);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].title, "数据追加");
    EXPECT_EQ(prompter.messages[0].text, "请指定文件名！！");
    EXPECT_EQ(prompter.messages[0].icon, base::Icon::Question);
}

TEST_F(Append, EveryRecordIntoAnEmptyStorePlaceholdersKept) {
    const auto result = AppendBytes(RecordText("201300000002", "乙") + RecordText("201300000001"));
    EXPECT_EQ(result.outcome, Outcome::Done);
    EXPECT_EQ(result.added, 2);
    EXPECT_EQ(Numbers(), (std::vector<std::string>{"201300000002", "201300000001"}));
    EXPECT_EQ(records.ReadRow(1)[2], "乙");
    EXPECT_EQ(records.ReadRow(2)[2], " ");  // the placeholder, not an empty value
    EXPECT_EQ(prompter.Texts(), std::vector<std::string>{kDone});
    EXPECT_EQ(records.Position(), 2);  // the last record added
    EXPECT_EQ(prompter.busy_begun, 1);
    EXPECT_EQ(prompter.busy_ended, 1);
}

TEST_F(Append, StoredNumberWithLeadingZeroIsSkippedOnce) {
    Store("201300000001");
    const auto result = AppendBytes(RecordText("0201300000001") + RecordText("201300000002"));
    EXPECT_EQ(result.added, 1);
    EXPECT_EQ(result.skipped, 1);
    EXPECT_EQ(prompter.Texts(), (std::vector<std::string>{
                                    "0201300000001项目编号已存在！", kDone,
                                    "已存在而没有追加的1个项目中，0个与库中的数据相同，1个不同："
                                    "201300000001。"}));
    EXPECT_EQ(prompter.messages[0].title, "Qorvath省科技计划项目执行情况年度调查");
    EXPECT_EQ(prompter.messages[0].icon, base::Icon::Information);
}

TEST_F(Append, TrailingBlankAndLetterNumbersCountAsTheSame) {
    Store("201300000001");
    Store("ABC");
    const auto result = AppendBytes(RecordText("201300000001 ") + RecordText("XYZ"));
    EXPECT_EQ(result.added, 0);
    EXPECT_EQ(result.skipped, 2);
}

TEST_F(Append, FileWithOneNumberTwiceAddsTheFirstOnly) {
    const auto result =
        AppendBytes(RecordText("201300000001", "甲") + RecordText("201300000001", "乙"));
    EXPECT_EQ(result.added, 1);
    EXPECT_EQ(records.Count(), 1);
    EXPECT_EQ(records.ReadRow(1)[2], "甲");
    EXPECT_EQ(prompter.Texts()[0], "201300000001项目编号已存在！");
    EXPECT_EQ(records.Position(), 1);  // the record the last duplicate matched
}

TEST_F(Append, SameFileTwiceAddsNothingTheSecondTime) {
    const std::string file = RecordText("201300000001") + RecordText("201300000002");
    AppendBytes(file);
    prompter.messages.clear();
    const auto again = AppendBytes(file);
    EXPECT_EQ(again.added, 0);
    EXPECT_EQ(records.Count(), 2);
    EXPECT_EQ(prompter.Texts(), (std::vector<std::string>{"201300000001项目编号已存在！",
                                                          "201300000002项目编号已存在！", kDone,
                                                          "已存在而没有追加的2个项目中，2个与库中的"
                                                          "数据相同，0个不同。"}));
}

TEST_F(Append, SilencedDuplicateMessagesStopForTheRun) {
    const std::string file = RecordText("1") + RecordText("2") + RecordText("3");
    AppendBytes(file);
    prompter.messages.clear();
    prompter.silence_repeated = true;
    EXPECT_EQ(AppendBytes(file).skipped, 3);
    EXPECT_EQ(
        prompter.Texts(),
        (std::vector<std::string>{"1项目编号已存在！", kDone,
                                  "已存在而没有追加的3个项目中，3个与库中的数据相同，0个不同。"}));
}

// Nine records as a copy of the program writes them, then damaged.
std::string NineRecords() {
    std::string text;
    for (int i = 1; i <= 9; ++i) text += RecordText("20130000000" + std::to_string(i), "项目");
    return text;
}

// Where field `n` (0-based) of the text begins.
std::size_t FieldStart(const std::string& text, int n) {
    std::size_t at = 0;
    for (int i = 0; i < n; ++i) at = text.find(',', at) + 1;
    return at;
}

std::string WithoutField(int n) {
    std::string text = NineRecords();
    const std::size_t at = FieldStart(text, n);
    return text.erase(at, FieldStart(text, n + 1) - at);
}

std::string WithExtraField(int n) {
    return NineRecords().insert(FieldStart(NineRecords(), n), "\"x\",");
}

// A line end before a comma ends the field; the comma then opens an empty
// one: a field too many.
std::string WithLineEndBeforeComma(int n) {
    std::string text = NineRecords();
    return text.insert(FieldStart(text, n) - 1, "\r\n");
}

struct DamagedFile {
    const char* what;
    std::string bytes;
    long fields;
};

TEST_F(Append, AFileOfNoWholeRecordsAddsNothingAndSaysSo) {
    const std::string nine = NineRecords();
    const DamagedFile files[] = {
        {"one field removed", WithoutField(50), 9 * 137 - 1},
        {"one field added", WithExtraField(200), 9 * 137 + 1},
        {"a line end before a comma", WithLineEndBeforeComma(300), 9 * 137 + 1},
        {"cut after a field", nine.substr(0, FieldStart(nine, 8 * 137 + 40)), 8 * 137 + 40},
        {"cut inside a quoted field", nine.substr(0, FieldStart(nine, 8 * 137) + 2), 8 * 137 + 1},
    };
    Store("201300000005");
    for (const auto& file : files) {
        prompter.messages.clear();
        const auto result = AppendBytes(file.bytes);
        EXPECT_EQ(result.outcome, Outcome::Failed) << file.what;
        EXPECT_EQ(result.added, 0) << file.what;
        EXPECT_EQ(Numbers(), std::vector<std::string>{"201300000005"}) << file.what;
        ASSERT_EQ(prompter.messages.size(), 1u) << file.what;
        const std::string& text = prompter.messages[0].text;
        EXPECT_TRUE(text.starts_with("追加数据失败：文件“" + (dir / "in.kj").string() + "”有" +
                                     std::to_string(file.fields) + "个数据项"))
            << file.what << ": " << text;
        EXPECT_TRUE(text.ends_with("没有追加任何项目。")) << text;
    }
    EXPECT_EQ(AppendBytes(nine).added, 8);
}

TEST_F(Append, LineEndsAndUnquotedFieldsAreRead) {
    std::string file = "7\r\n\"201300000001\"\r\n名称,";
    for (int i = 3; i < 137; ++i) file += "\"" + std::to_string(i) + "\"\r\n";
    const auto result = AppendBytes(base::ToGbk(file));
    EXPECT_EQ(result.added, 1);
    const store::Record row = records.ReadRow(1);
    EXPECT_EQ(row[0], "7");
    EXPECT_EQ(row[1], "201300000001");
    EXPECT_EQ(row[2], "名称");
    EXPECT_EQ(row[136], "136");
}

struct BadInput {
    const char* name;
    std::string bytes;
};

void PrintTo(const BadInput& c, std::ostream* os) { *os << c.name; }

class AppendBad : public Append, public ::testing::WithParamInterface<BadInput> {};

TEST_P(AppendBad, AddsNothingAndSaysWhy) {
    Store("201300000001");
    const auto result = AppendBytes(GetParam().bytes);
    EXPECT_EQ(result.outcome, Outcome::Failed);
    EXPECT_EQ(records.Count(), 1);
    records.Reopen();
    EXPECT_EQ(records.Count(), 1);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text.rfind("追加数据失败", 0), 0u) << prompter.messages[0].text;
    EXPECT_EQ(prompter.busy_ended, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Files, AppendBad,
    ::testing::Values(BadInput{"Empty", ""}, BadInput{"Blanks", "\r\n  \r\n"},
                      BadInput{"InvalidGbk", RecordText("201300000002") + "\"\xFF\xFF\","},
                      BadInput{"Binary", RecordText("201300000002") + std::string(64, '\0')},
                      BadInput{"NotARecord", "just some text\n"}),
    testing::NameMember());

TEST_F(Append, MissingFileAddsNothing) {
    prompter.files.push_back(dir / "none.kj");
    EXPECT_EQ(AppendProjects(records, prompter, dir.path()).outcome, Outcome::Failed);
    EXPECT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(records.Count(), 0);
}

TEST_F(Append, PendingChangeIsWrittenFirst) {
    Store("201300000001");
    records.SetValue("JB01", "未保存的修改");
    AppendBytes(RecordText("201300000002"));
    records.Reopen();
    EXPECT_EQ(records.ReadRow(1)[2], "未保存的修改");
}

// A record of quoted fields built by hand, so that it can hold a value the
// writer refuses.
std::string RawRecord(const std::string& number, int column, const std::string& value) {
    std::string text;
    for (int c = 0; c < store::kColumnCount; ++c)
        text += "\"" + (c == column ? value : c == 1 ? number : std::string("v")) + "\",";
    return base::ToGbk(text);
}

TEST_F(Append, AValueNoOutputCarriesRefusesTheFileBeforeABackup) {
    Store("201300000001");
    const int unit = store::ColumnIndex("XMCDDW");
    const auto result =
        AppendBytes(RecordText("201300000002") + RawRecord("201300000003", unit, "甲\t乙"));
    EXPECT_EQ(result.outcome, Outcome::Failed);
    EXPECT_EQ(Numbers(), std::vector<std::string>{"201300000001"});
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(
        prompter.messages[0].text,
        "追加数据失败：文件“" + (dir / "in.kj").string() + "”中项目“201300000003”的XMCDDW（" +
            store::Columns()[unit].caption +
            "）含有控制字符（U+0009，制表符），本程序的输出文件无法保存它。没有追加任何项目。");
    EXPECT_FALSE(std::filesystem::exists(dir / "backup") &&
                 !std::filesystem::is_empty(dir / "backup"));
}

// Values longer than their column's limit, brought in by an exchange file,
// go out again by submit and come back by append unchanged.
TEST_F(Append, SubmitThenAppendGivesTheSameValues) {
    const int name = store::ColumnIndex("JB01");
    const int results = store::ColumnIndex("JDCG");
    std::string longest;
    for (int i = 0; i < 32767; ++i) longest += "测";
    ASSERT_EQ(AppendBytes(RawRecord("201300000001", name, std::string(300, 'n')) +
                          RawRecord("201300000002", results, longest + "\r\n"))
                  .outcome,
              Outcome::Failed);  // two characters too many
    ASSERT_EQ(AppendBytes(RawRecord("201300000001", name, std::string(300, 'n')) +
                          RawRecord("201300000002", results, longest.substr(6) + "\r\n"))
                  .outcome,
              Outcome::Done);
    prompter.files.push_back(dir / "out.kj");
    ASSERT_EQ(SubmitAllProjects(records, prompter, dir.path()), Outcome::Done);
    TempDir other;
    const auto other_store = testing::OpenTestStore(other.path());
    store::Store& target = *other_store;
    prompter.files.push_back(dir / "out.kj");
    ASSERT_EQ(AppendProjects(target.records(), prompter, other.path()).outcome, Outcome::Done);
    ASSERT_EQ(target.records().Count(), 2);
    for (int p = 1; p <= 2; ++p)
        for (int c = 0; c < store::kColumnCount; ++c)
            EXPECT_EQ(target.records().ReadRow(p)[c], records.ReadRow(p)[c]) << p << " " << c;
    EXPECT_EQ(target.records().ReadRow(1)[name], std::string(300, 'n'));
}

// A store of an older version may hold a value append refuses: submit
// refuses the whole file, distribute leaves that project out.
TEST_F(Append, AStoredValueAppendWouldRefuseIsNeverSubmitted) {
    store::Row row(store::kColumnCount);
    row[1] = "201300000001";
    row[store::ColumnIndex("JDCG")] = "第一行\n第二行";
    records.AddNew(row);
    store::Row good(store::kColumnCount);
    good[1] = "201300000002";
    records.AddNew(good);
    records.Reopen();
    prompter.files.push_back(dir / "out.kj");
    EXPECT_EQ(SubmitAllProjects(records, prompter, dir.path()), Outcome::Failed);
    EXPECT_FALSE(std::filesystem::exists(dir / "out.kj"));
    EXPECT_NE(
        prompter.messages.back().text.find("项目“201300000001”的JDCG（" +
                                           store::Columns()[store::ColumnIndex("JDCG")].caption +
                                           "）含有控制字符（U+000A，换行符）"),
        std::string::npos)
        << prompter.messages.back().text;
    TempDir out;
    const auto result = DistributeProjects(records, prompter, out.path());
    EXPECT_EQ(result.outcome, Outcome::Refused);
    EXPECT_EQ(result.written, 1);
    EXPECT_TRUE(std::filesystem::exists(out / "201300000002.kj"));
    EXPECT_FALSE(std::filesystem::exists(out / "201300000001.kj"));
}

// A file of more records than the set holds while appending: every record
// goes in, the last one added is current, and reading them back works.
TEST_F(Append, ALongFileLeavesTheSetWhereAShortOneDoes) {
    Store("201300000000");
    std::string file;
    for (int i = 1; i <= 9000; ++i) file += RecordText(std::to_string(201300000000LL + i), "名");
    file += RecordText("201300000000");  // a duplicate at the end
    const auto result = AppendBytes(file);
    EXPECT_EQ(result.added, 9000);
    EXPECT_EQ(result.skipped, 1);
    EXPECT_EQ(records.Count(), 9001);
    EXPECT_EQ(records.Position(), 1);  // the stored record the duplicate matched
    EXPECT_EQ(records.ReadRow(4097)[1], "201300004096");
    EXPECT_EQ(records.ReadRow(9001)[2], "名");
}

}  // namespace
}  // namespace zorbix::exchange
