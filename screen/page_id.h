// The screens of the main window: the start screen and the six pages that
// lie over it. At most one page is open at a time.
#pragma once

#include <utility>

#include "store/catalogue.h"

namespace zorbix::screen {

enum class PageId { Start, List, Cover, TableOne, TableTwo, TableThree, TableFour };

// The five form pages and the catalogue page each one shows.
inline constexpr std::pair<PageId, store::Page> kFormPages[] = {
    {PageId::Cover, store::Page::Cover},         {PageId::TableOne, store::Page::TableOne},
    {PageId::TableTwo, store::Page::TableTwo},   {PageId::TableThree, store::Page::TableThree},
    {PageId::TableFour, store::Page::TableFour},
};

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
