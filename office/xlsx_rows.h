// Reading the first sheet of an .xlsx workbook row by row with a streaming
// XML reader (streamed_part.h), so a sheet of any size never stands whole in
// memory: the project list of a large collecting office unpacks to hundreds
// of megabytes of XML. The shared strings and styles are read first; the
// sheet then passes through the parser in blocks straight from the zip.
//
// Every failure (not a zip, no sheet, broken or truncated XML, a document
// type definition, a part that unpacks too large, too much text) is a
// base::Failure whose message names the file and the reason.
#pragma once

#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "base/error.h"
#include "office/zip_archive.h"

namespace zorbix::office {

// Told how far a long read has come (done of total, in any unit).
using ReadProgress = std::function<void(long done, long total)>;

// One cell with content, as the file typed it.
struct ListCell {
    enum class Kind { Text, Number, Date, Boolean, Error };
    int column = 0;  // 1-based
    Kind kind = Kind::Text;
    std::string text;  // the text; for a number its shortest round-trip text
    double number = 0;
    bool numeric = false;  // the file held a number (a date style makes it a Date)
};

// A row or cell of the sheet that no workbook writer makes; `why` names
// it ("行号无效"), the message names the file and part as well.
class SheetDamaged : public base::Failure {
public:
    SheetDamaged(const std::string& message, std::string why)
        : base::Failure(message), why_(std::move(why)) {}
    const std::string& why() const { return why_; }

private:
    std::string why_;
};

// How the cells' texts come: with every "_xHHHH_" as its character, as the
// user sees them (office/cell_text.h), or exactly as the file spells them.
enum class CellEscapes { Decode, Keep };

// The cells with content of one row, in the order the file holds them.
using RowVisitor = std::function<void(int row, std::span<const ListCell> cells)>;

// Where the shared strings lie: the part the workbook's relationships name,
// else the usual place (some writers leave the relationship out).
std::string SharedStringsPart(const ZipArchive& package);

// Calls `visit` with each row of the first sheet that has a cell with
// content, in file order.
void ReadXlsxRows(const std::filesystem::path& file, const RowVisitor& visit,
                  const ReadProgress& progress = {}, CellEscapes escapes = CellEscapes::Decode);

}  // namespace zorbix::office
