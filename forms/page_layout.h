// Where everything stands on the cover and the four table pages, in twips
// relative to the page. Fields and their captions come from the catalogue;
// this table only places them, together with the fixed texts of the pages.
#pragma once

#include <string>
#include <vector>

#include "store/catalogue.h"

namespace zorbix::forms {

struct TwipBox {
    int left = 0, top = 0, width = 0, height = 0;
};

// A field of the page.
struct FieldPlace {
    std::string column;
    TwipBox box;
};

// A caption of the page; it names every field of the page that carries the
// same caption in the catalogue (a row of table two, a column of the
// participant grid, the partner units).
struct CaptionPlace {
    std::string column;  // the first field it names
    TwipBox box;
    bool bold = false;
    bool wrap = false;
};

enum class NoteStyle {
    Title,    // the cover's title, bold 21.75 point
    Heading,  // column headings of table two, bold 9 point
    Plain,    // a line of text
    Balance,  // the white balance notes of tables two and three, 10.5 point
    Side,     // table one's side captions, running down
};

struct NotePlace {
    std::string name;  // object name
    std::string text;  // line breaks as "\n"
    TwipBox box;
    NoteStyle style = NoteStyle::Plain;
};

struct PageLayout {
    std::vector<FieldPlace> fields;  // in tab order
    std::vector<CaptionPlace> captions;
    std::vector<NotePlace> notes;
};

// The pages of the form in the order the window's page buttons and the web
// pages walk them: the cover, then tables one to four.
inline constexpr store::Page kPageOrder[] = {store::Page::Cover, store::Page::TableOne,
                                             store::Page::TableTwo, store::Page::TableThree,
                                             store::Page::TableFour};

PageLayout LayoutOf(store::Page page);

// The shown size of a page and the page buttons' row.
inline constexpr int kPageWidth = 10000;
inline constexpr int kPageHeight = 7700;
inline constexpr int kPageButtonTop = 7200;

}  // namespace zorbix::forms
