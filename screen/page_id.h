// The screens of the main window: the start screen and the six pages that
// lie over it. At most one page is open at a time.
#pragma once

#include <cstddef>
#include <iterator>
#include <utility>

#include "forms/page_layout.h"
#include "store/catalogue.h"

namespace zorbix::screen {

enum class PageId { Start, List, Cover, TableOne, TableTwo, TableThree, TableFour };

// The five form pages and the catalogue page each one shows.
inline constexpr std::pair<PageId, store::Page> kFormPages[] = {
    {PageId::Cover, store::Page::Cover},         {PageId::TableOne, store::Page::TableOne},
    {PageId::TableTwo, store::Page::TableTwo},   {PageId::TableThree, store::Page::TableThree},
    {PageId::TableFour, store::Page::TableFour},
};

// The window shows the pages in the form's order (forms/page_layout.h).
constexpr bool InFormOrder() {
    if (std::size(kFormPages) != std::size(forms::kPageOrder)) return false;
    for (std::size_t i = 0; i < std::size(kFormPages); ++i)
        if (kFormPages[i].second != forms::kPageOrder[i]) return false;
    return true;
}
static_assert(InFormOrder(), "the window's form pages follow forms::kPageOrder");

// The form page showing a catalogue page; the cover for a column without one.
inline PageId FormPageOf(store::Page page) {
    for (const auto& [id, shown] : kFormPages)
        if (shown == page) return id;
    return PageId::Cover;
}

// The survey table a page holds (1..4), 0 for the cover and the rest.
inline int TableNumber(PageId page) {
    switch (page) {
        case PageId::TableOne: return 1;
        case PageId::TableTwo: return 2;
        case PageId::TableThree: return 3;
        case PageId::TableFour: return 4;
        default: return 0;
    }
}

}  // namespace zorbix::screen
