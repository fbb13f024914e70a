#include "lists/list_writers.h"

#include <algorithm>

#include "base/atomic_file.h"
#include "base/error.h"
#include "base/message_text.h"
#include "base/protected_targets.h"
#include "check/check_result.h"
#include "check/rule_sets.h"
#include "lists/csv_guard.h"
#include "lists/finding_rows.h"
#include "lists/list_columns.h"
#include "office/csv_text.h"
#include "office/list_workbook.h"
#include "store/catalogue.h"

namespace zorbix::lists {

using office::AppendCsvField;
using office::kUtf8ByteOrderMark;
using office::ListWorkbook;
namespace {

constexpr std::string_view kCrLf = "\r\n";

// Rows go to a temporary file beside the target as they are made, in
// blocks, so a list of any size costs the memory of one block; the file
// gets its name only when complete.
class CsvListWriter : public ListWriter {
public:
    explicit CsvListWriter(std::filesystem::path file) : out_(std::move(file)) {
        text_.reserve(kBlockBytes + (64 << 10));
        text_ = kUtf8ByteOrderMark;
        for (const store::Column& c : store::Columns()) {
            if (c.index > 0) text_ += ',';
            AppendCsvField(text_, c.name);
        }
        text_ += kCrLf;
    }

    void Add(const store::Record& record) override {
        for (int c = 0; c < store::kColumnCount; ++c) {
            if (c > 0) text_ += ',';
            AppendGuardedCsvField(text_, store::Columns()[c], record[c]);
        }
        text_ += kCrLf;
        if (text_.size() >= kBlockBytes) Flush();
    }

    void Finish() override {
        Flush();
        out_.Commit();
    }

private:
    static constexpr std::size_t kBlockBytes = std::size_t{1} << 20;

    void Flush() {
        out_.Append(text_);
        text_.clear();
    }

    base::AtomicFileWriter out_;
    std::string text_;
};

// A width in characters that shows a column's typical value and its name.
double ColumnWidth(const store::Column& c) {
    if (c.name == "JB01" || c.kind == store::Kind::MultiLineText) return 40;
    const int bytes = c.max_bytes > 0 ? c.max_bytes : 16;
    return std::clamp(
        static_cast<double>(std::max<int>(bytes, static_cast<int>(c.name.size())) + 2), 8.0, 30.0);
}

class XlsxListWriter : public ListWriter {
public:
    explicit XlsxListWriter(const std::filesystem::path& file) : book_(file) {
        book_.AddSheet(kProjectSheetName);
        for (const store::Column& c : store::Columns())
            book_.SetWidth(c.index, ColumnWidth(c), !IsNumberColumn(c));
        // Number and name stay in view, the headings too.
        book_.FreezeAt(2, 2);
        // On paper: landscape, captions, names, number and name on every page.
        book_.PrintLayout(2, 2);
        // Rows go out in order: all captions, then all names.
        for (const store::Column& c : store::Columns())
            book_.Heading(0, c.index, HeadingCaption(c));
        for (const store::Column& c : store::Columns()) book_.Heading(1, c.index, c.name);
    }

    void Add(const store::Record& record) override {
        const int row = 2 + added_++;
        for (const store::Column& c : store::Columns()) {
            const std::string_view value = record[c.index];
            try {
                if (value.empty()) continue;
                const auto number = IsNumberColumn(c) ? ExactNumber(value) : std::nullopt;
                if (number)
                    book_.Number(row, c.index, *number);
                else
                    book_.Text(row, c.index, value);
            } catch (const base::Failure& e) {
                throw base::Failure(
                    base::MessageText("项目“{1}”的{2}无法写入工作簿：{3}",
                                      {record[store::kNumberColumn], c.name, e.what()}));
            }
        }
        check::CheckAllTables(record, result_);
        AddFindingRows(record, result_.findings, findings_);
        result_.Reset();
    }

    void Finish() override {
        book_.AutoFilter(1, std::max(1 + added_, 1), store::kColumnCount - 1);
        WriteFindingsSheet(book_, findings_);
        book_.Close();
    }

private:
    ListWorkbook book_;
    int added_ = 0;
    check::CheckResult result_;
    std::vector<FindingRow> findings_;
};

}  // namespace

std::unique_ptr<ListWriter> MakeListWriter(ListFormat format, const std::filesystem::path& file) {
    if (format == ListFormat::Csv) return std::make_unique<CsvListWriter>(file);
    return std::make_unique<XlsxListWriter>(file);
}

}  // namespace zorbix::lists
