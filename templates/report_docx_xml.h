// Small builders of WordprocessingML for the documents we generate (the
// report template and the help document): paragraphs, runs, bookmarks,
// tables, and the package around a body. Texts are escaped here.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zorbix::templates {

inline constexpr int kTextWidth = 9638;  // A4 less 2 cm margins, in twips

struct Font {
    int half_points = 21;  // 10.5 pt, the form's 五号
    bool bold = false;
    bool heading = false;  // 黑体 instead of 宋体
};

enum class Align { Left, Center, Right, Both };

struct ParaStyle {
    Align align = Align::Left;
    Font font;       // also the paragraph mark's, which a filled bookmark takes
    int before = 0;  // spacing in twips
    int after = 0;
    int indent = 0;      // left indent in twips
    int first_line = 0;  // first-line indent in twips
    bool page_break_before = false;
    bool keep_next = false;
};

std::string RunProps(const Font& font);
std::string Run(std::string_view text, const Font& font = {});
// An empty bookmark: where a value is to be typed.
std::string Bookmark(std::string_view name, int id);
std::string Paragraph(const std::string& content, const ParaStyle& style = {});
std::string PageBreak();

struct Cell {
    std::string content;  // paragraphs
    int span = 1;
    bool shaded = false;
    bool rule = false;  // a bottom rule (fill-in line) in a table without borders
    bool top = false;   // text from the top (a tall text box) instead of centred
    enum class Merge { None, Start, Continue } merge = Merge::None;
};

// A table of fixed column widths (twips); rows at least `min_height` high.
class Table {
public:
    Table(std::vector<int> grid, bool borders = true) : grid_(std::move(grid)), borders_(borders) {}
    void Row(const std::vector<Cell>& cells, int min_height = 0);
    std::string Xml() const;

private:
    std::vector<int> grid_;
    bool borders_;
    std::string rows_;
};

// The parts of a .docx package whose body is `body` (paragraphs and tables).
std::vector<std::pair<std::string, std::string>> DocxPackage(const std::string& body,
                                                             std::string_view title);

}  // namespace zorbix::templates
