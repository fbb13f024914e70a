// Reading the first sheet of an .xlsx workbook through its XML parts.
#include <charconv>
#include <cstring>
#include <string_view>
#include <vector>

#include "base/error.h"
#include "base/file_names.h"
#include "office/sheet_reader.h"
#include "office/xlsx_package.h"
#include "office/xml_budget.h"
#include "office/xml_part.h"
#include "office/zip_archive.h"

namespace zorbix::office {
namespace {

using base::Failure;

pugi::xml_node Child(const pugi::xml_node& parent, std::string_view name) {
    for (pugi::xml_node c : parent.children())
        if (c.type() == pugi::node_element && LocalName(c) == name) return c;
    return {};
}

// The text of a string item: its own <t>, or every run's <t> joined;
// phonetic guides (<rPh>) are readings, not the text.
std::string StringItemText(const pugi::xml_node& item) {
    std::string text;
    for (pugi::xml_node c : item.children()) {
        const std::string_view name = LocalName(c);
        if (name == "t") text += c.text().get();
        if (name == "r") text += Child(c, "t").text().get();
    }
    return text;
}

// Where the shared strings lie, through the workbook's relationships.
std::string SharedStringsPart(const ZipArchive& package, const std::string& file) {
    const char* rels_name = "xl/_rels/workbook.xml.rels";
    if (package.Has(rels_name)) {
        pugi::xml_document rels;
        ParseXmlPart(rels, package.Read(rels_name), file + "的" + rels_name);
        for (pugi::xml_node rel : Child(rels, "Relationships").children()) {
            const std::string_view type = rel.attribute("Type").value();
            if (!type.ends_with("/sharedStrings")) continue;
            std::string target = rel.attribute("Target").value();
            if (target.starts_with('/')) return target.substr(1);
            return "xl/" + target;
        }
    }
    return "xl/sharedStrings.xml";
}

// Parses a part inside its own bytes (no second copy of a large sheet);
// `bytes` must outlive `doc`. Same options and message as ParseXmlPart.
XmlCounts ParseInPlace(pugi::xml_document& doc, std::string& bytes, const std::string& what) {
    const XmlCounts counts = RefuseOversizedXml(bytes, what);
    const pugi::xml_parse_result result =
        doc.load_buffer_inplace(bytes.data(), bytes.size(), kPartParseOptions, pugi::encoding_utf8);
    if (!result)
        throw base::Failure(what + "的XML内容已损坏（" + result.description() + "，第" +
                            std::to_string(result.offset) + "字节）。");
    RefuseDocumentType(doc, what);
    return counts;
}

std::vector<std::string> ReadSharedStrings(const ZipArchive& package, const std::string& file) {
    std::vector<std::string> strings;
    const std::string part = SharedStringsPart(package, file);
    if (!package.Has(part)) return strings;
    std::string bytes = package.Read(part);
    pugi::xml_document doc;
    ParseInPlace(doc, bytes, file + "的" + part);
    for (pugi::xml_node si : Child(doc, "sst").children())
        if (LocalName(si) == "si") strings.push_back(StringItemText(si));
    return strings;
}

// "AB12" → column 28, row 12; false for anything else or out of range.
bool ParseReference(std::string_view ref, int& row, int& column) {
    std::size_t i = 0;
    column = 0;
    for (; i < ref.size() && ref[i] >= 'A' && ref[i] <= 'Z'; ++i) {
        column = column * 26 + (ref[i] - 'A' + 1);
        if (column > Sheet::kMaxColumn) return false;
    }
    if (i == 0) return false;
    const auto r = std::from_chars(ref.data() + i, ref.data() + ref.size(), row);
    return r.ec == std::errc() && r.ptr == ref.data() + ref.size() && row >= 1 &&
           row <= Sheet::kMaxRow;
}

int ParseRowNumber(const pugi::xml_node& row, int previous) {
    const std::string_view r = row.attribute("r").value();
    if (r.empty()) return previous + 1;
    int number = 0;
    const auto res = std::from_chars(r.data(), r.data() + r.size(), number);
    if (res.ec != std::errc() || res.ptr != r.data() + r.size() || number < 1 ||
        number > Sheet::kMaxRow)
        return -1;
    return number;
}

class SheetBuilder {
public:
    SheetBuilder(std::string file, std::vector<std::string> strings)
        : file_(std::move(file)), strings_(std::move(strings)) {}

    // A cell is at least two elements (<c> and its <v>): room for all of
    // them at once spares the growing of a large table.
    void Expect(const XmlCounts& counts) { sheet_.Reserve(counts.elements / 2); }

    void AddRow(const pugi::xml_node& row) {
        row_ = ParseRowNumber(row, row_);
        if (row_ < 0) Damaged("行号无效");
        int column = 0;
        for (pugi::xml_node c : row.children()) {
            if (LocalName(c) != "c") continue;
            int row_of_cell = row_;
            const std::string_view ref = c.attribute("r").value();
            if (ref.empty()) {
                if (++column > Sheet::kMaxColumn) Damaged("列号超出范围");
            } else if (!ParseReference(ref, row_of_cell, column)) {
                Damaged("单元格位置“" + std::string(ref) + "”无效");
            }
            Cell cell = ReadCell(c);
            if (cell.IsEmpty()) continue;
            // A long shared string used by many cells is copied into each:
            // the texts are bounded, not only the XML.
            text_bytes_ += cell.text.size();
            if (text_bytes_ > kMaxSheetTextBytes)
                throw base::Failure(file_ + "的第一张工作表中的文字过多，已拒绝读取。");
            if (!sheet_.Put(row_of_cell, column, std::move(cell)))
                throw base::Failure(file_ + "的第一张工作表过大，已拒绝读取。");
        }
    }

    Sheet Take() { return std::move(sheet_); }

private:
    [[noreturn]] void Damaged(const std::string& why) const {
        throw base::Failure(file_ + "已损坏（第一张工作表中" + why + "）。");
    }

    Cell ReadCell(const pugi::xml_node& c) const {
        const std::string_view type = c.attribute("t").value();
        const char* value = Child(c, "v").text().get();
        if (type == "s") return SharedString(value);
        if (type == "inlineStr") return Cell::FromText(StringItemText(Child(c, "is")));
        if (type == "str" || type == "e" || type == "d") return Cell::FromText(value);
        if (type == "b") return Cell::FromText(std::strcmp(value, "1") == 0 ? "TRUE" : "FALSE");
        if (*value == '\0') return {};
        double number = 0;
        const std::string_view text = value;
        const auto r = std::from_chars(text.data(), text.data() + text.size(), number);
        if (r.ec != std::errc() || r.ptr != text.data() + text.size())
            Damaged("数值“" + std::string(text) + "”无效");
        return Cell::FromNumber(number);
    }

    Cell SharedString(std::string_view index_text) const {
        std::size_t index = 0;
        const auto r =
            std::from_chars(index_text.data(), index_text.data() + index_text.size(), index);
        if (r.ec != std::errc() || r.ptr != index_text.data() + index_text.size() ||
            index >= strings_.size())
            Damaged("共享字符串编号“" + std::string(index_text) + "”无效");
        return Cell::FromText(strings_[index]);
    }

    static constexpr std::size_t kMaxSheetTextBytes = std::size_t{64} << 20;

    std::string file_;
    std::vector<std::string> strings_;
    Sheet sheet_;
    int row_ = 0;
    std::size_t text_bytes_ = 0;
};

}  // namespace

Sheet ReadXlsxFirstSheet(const std::filesystem::path& file) {
    const std::string named = base::QuotedFileName(file);
    const ZipArchive package(file);
    const std::string part = FirstSheetPart(package);
    std::string bytes = package.Read(part);
    SheetBuilder builder(named, ReadSharedStrings(package, named));
    pugi::xml_document doc;
    builder.Expect(ParseInPlace(doc, bytes, named + "的" + part));
    const pugi::xml_node data = Child(Child(doc, "worksheet"), "sheetData");
    if (!data) throw base::Failure(named + "的第一张工作表缺少数据部分（sheetData），文件已损坏。");
    for (pugi::xml_node row : data.children())
        if (LocalName(row) == "row") builder.AddRow(row);
    return builder.Take();
}

}  // namespace zorbix::office
