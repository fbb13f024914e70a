// Workbooks made at test time: an .xlsx written from rows of cells (texts as
// shared strings, numbers as numbers) or from hand-written sheet XML, and an
// .xls converted from an .xlsx by LibreOffice.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "office/sheet.h"
#include "office/zip_archive.h"

namespace zorbix::testing {

// One cell to write: nothing, a text or a number.
using TestCell = std::variant<std::monostate, std::string, double>;
using TestRow = std::vector<TestCell>;

inline std::string XmlEscape(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default: out += c;
        }
    }
    return out;
}

inline std::string ColumnLetters(int column) {
    std::string letters;
    for (; column > 0; column = (column - 1) / 26)
        letters.insert(letters.begin(), static_cast<char>('A' + (column - 1) % 26));
    return letters;
}

// Writes an xlsx whose first sheet part is xl/worksheets/<sheet_name> with
// this sheetData content and these shared string items (<si> elements).
inline void WriteXlsxParts(const std::filesystem::path& file, const std::string& sheet_data,
                           const std::string& shared_items = "",
                           const std::string& sheet_name = "sheet1.xml") {
    const std::string ns = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
    const std::string rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
    std::vector<std::pair<std::string, std::string>> parts = {
        {"[Content_Types].xml",
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Types "
         "xmlns=\"http://schemas.openxmlformats.org/"
         "package/2006/content-types\"><Default Extension=\"rels\" ContentType=\"application/"
         "vnd.openxmlformats-package.relationships+xml\"/><Default Extension=\"xml\" "
         "ContentType=\"application/xml\"/><Override PartName=\"/xl/workbook.xml\" ContentType=\""
         "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>"
         "<Override PartName=\"/xl/worksheets/" +
             sheet_name +
             "\" ContentType=\"application/"
             "vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/><Override "
             "PartName=\""
             "/xl/sharedStrings.xml\" ContentType=\"application/vnd.openxmlformats-officedocument."
             "spreadsheetml.sharedStrings+xml\"/></Types>"},
        {"_rels/.rels",
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Relationships xmlns=\"http://schemas."
         "openxmlformats.org/package/2006/relationships\"><Relationship Id=\"rId1\" Type=\"" +
             rel + "/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>"},
        {"xl/workbook.xml",
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?><workbook xmlns=\"" + ns + "\" xmlns:r=\"" +
             rel +
             "\"><sheets><sheet name=\"计划\" sheetId=\"1\" r:id=\"rId7\"/></sheets></workbook>"},
        {"xl/_rels/workbook.xml.rels",
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Relationships xmlns=\"http://schemas."
         "openxmlformats.org/package/2006/relationships\"><Relationship Id=\"rId7\" Type=\"" +
             rel + "/worksheet\" Target=\"worksheets/" + sheet_name +
             "\"/><Relationship Id=\"rId8\""
             " Type=\"" +
             rel + "/sharedStrings\" Target=\"sharedStrings.xml\"/></Relationships>"},
        {"xl/worksheets/" + sheet_name,
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?><worksheet xmlns=\"" + ns + "\"><sheetData>" +
             sheet_data + "</sheetData></worksheet>"},
        {"xl/sharedStrings.xml", "<?xml version=\"1.0\" encoding=\"UTF-8\"?><sst xmlns=\"" + ns +
                                     "\">" + shared_items + "</sst>"},
    };
    office::WriteZip(file, parts);
}

// Writes an xlsx whose first sheet holds these rows from row 1 on.
inline void WriteTestXlsx(const std::filesystem::path& file, const std::vector<TestRow>& rows) {
    std::string data, shared;
    int strings = 0;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        data += "<row r=\"" + std::to_string(r + 1) + "\">";
        for (std::size_t c = 0; c < rows[r].size(); ++c) {
            const std::string ref = ColumnLetters(static_cast<int>(c) + 1) + std::to_string(r + 1);
            if (const auto* text = std::get_if<std::string>(&rows[r][c])) {
                data += "<c r=\"" + ref + "\" t=\"s\"><v>" + std::to_string(strings++) + "</v></c>";
                shared += "<si><t xml:space=\"preserve\">" + XmlEscape(*text) + "</t></si>";
            } else if (const auto* number = std::get_if<double>(&rows[r][c])) {
                data += "<c r=\"" + ref + "\"><v>" + office::NumberText(*number) + "</v></c>";
            }
        }
        data += "</row>";
    }
    WriteXlsxParts(file, data, shared);
}

// Converts an xlsx into an xls beside it with LibreOffice; returns the xls
// path, empty when the conversion made nothing.
inline std::filesystem::path ConvertToXls(const std::filesystem::path& xlsx) {
    const auto dir = xlsx.parent_path();
    const auto profile = dir / "lo-profile";
    const std::string command = "soffice -env:UserInstallation=file://" + profile.string() +
                                " --headless --convert-to xls --outdir '" + dir.string() + "' '" +
                                xlsx.string() + "' >/dev/null 2>&1";
    (void)std::system(command.c_str());
    auto xls = xlsx;
    xls.replace_extension(".xls");
    return std::filesystem::exists(xls) ? xls : std::filesystem::path();
}

}  // namespace zorbix::testing
