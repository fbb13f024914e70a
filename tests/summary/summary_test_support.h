// Small stores and workbook readers for the summary tests.
#pragma once

#include <filesystem>
#include <initializer_list>
#include <map>
#include <memory>
#include <pugixml.hpp>
#include <string>
#include <utility>

#include "office/xlsx_package.h"
#include "office/zip_archive.h"
#include "store/catalogue.h"
#include "store/store.h"
#include "summary/summary_catalogue.h"
#include "tests/support/temp_dir.h"

namespace zorbix::testing {

using Fields = std::initializer_list<std::pair<const char*, std::string>>;

// A store in a fresh program directory.
class SmallStore {
public:
    SmallStore() : store_(std::make_unique<store::Store>(dir_.path())) {}

    // Adds a project with these values (the rest empty) and a fresh number.
    void Add(Fields fields) {
        store::Row row(store::kColumnCount);
        row[store::ColumnIndex("JB02")] = std::to_string(201300000001LL + added_++);
        for (const auto& [name, value] : fields) row[store::ColumnIndex(name)] = value;
        store_->records().AddNew(row);
    }

    // The generated templates, copied in beside the database.
    void CopyTemplates() {
#ifdef ZORBIX_TEMPLATE_DIR
        for (const auto& s : summary::Summaries())
            std::filesystem::copy_file(
                std::filesystem::path(ZORBIX_TEMPLATE_DIR) / summary::TemplateFileName(s),
                dir_ / summary::TemplateFileName(s),
                std::filesystem::copy_options::overwrite_existing);
#endif
    }

    store::RecordSet& records() { return store_->records(); }
    const std::filesystem::path& dir() const { return dir_.path(); }
    void Close() { store_.reset(); }

private:
    TempDir dir_;
    std::unique_ptr<store::Store> store_;
    long long added_ = 0;
};

struct SheetCell {
    std::string value;  // text of <v>, "" without one
    bool formula = false;
};

// The cells of the first sheet of a workbook by reference ("B7").
inline std::map<std::string, SheetCell> SheetCells(const std::filesystem::path& file) {
    office::ZipArchive zip(file);
    pugi::xml_document doc;
    doc.load_string(zip.Read(office::FirstSheetPart(zip)).c_str());
    std::map<std::string, SheetCell> cells;
    for (pugi::xml_node row : doc.child("worksheet").child("sheetData").children("row"))
        for (pugi::xml_node c : row.children("c"))
            cells[c.attribute("r").value()] = {c.child("v").text().get(), bool(c.child("f"))};
    return cells;
}

}  // namespace zorbix::testing
