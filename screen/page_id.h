// The screens of the main window: the start screen and the six pages that
// lie over it. At most one page is open at a time.
#pragma once

namespace zorbix::screen {

enum class PageId { Start, List, Cover, TableOne, TableTwo, TableThree, TableFour };

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
