// The saved text of a sheet's <sheetData>, read node by node in document
// order: a prepared sheet (office/xlsx_sheet_plan.h) cuts each cell's text
// out of one save of all the rows instead of saving every cell on its own
// (thousands per sheet). What is not a cell is saved on its own and checked
// against the text, as is every row's start and end; once anything
// disagrees the reader is lost, and the plan is made node by node instead.
#pragma once

#include <cstddef>
#include <pugixml.hpp>
#include <string>
#include <string_view>

namespace zorbix::office {

class SavedRows {
public:
    explicit SavedRows(pugi::xml_node sheet_data);
    bool lost() const { return lost_; }
    std::size_t size() const { return text_.size(); }

    // Steps over `expected`, which must stand next.
    void Skip(std::string_view expected);

    // The text of the element `node` standing next, with everything in it;
    // empty (and lost) when it does not stand there.
    std::string_view Element(pugi::xml_node node);

private:
    std::size_t TagEnd(std::size_t at) const;
    std::size_t Past(std::size_t at, std::string_view close) const;
    std::size_t ElementEnd(std::size_t at) const;

    std::string text_;
    std::size_t at_ = 0;
    bool lost_ = false;
};

}  // namespace zorbix::office
