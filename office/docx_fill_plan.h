// A template's main part cut once into the constant text around the runs
// that a fill writes, so that each report's part is those slices joined
// with its values' runs: the bytes the tree fill (office/docx_tree_fill.h)
// writes, without parsing, copying or saving a tree per report.
#pragma once

#include <optional>
#include <pugixml.hpp>
#include <string>
#include <string_view>
#include <vector>

#include "office/docx_bookmarks.h"

namespace zorbix::office {

class DocxFillPlan {
public:
    // Cuts the parsed part for texts of these names in this order, by
    // filling a copy through the tree with a placeholder per text. Throws
    // base::Failure as the tree fill does (a missing bookmark). Nothing when
    // the part cannot be cut safely (a run whose formatting may depend on
    // whether an earlier value is empty, or placeholder characters in the
    // template): such a part is filled through the tree. Any other
    // difference between values lies inside their own runs: the fill looks
    // only at element names and formatting, never at the text it wrote.
    static std::optional<DocxFillPlan> Make(const pugi::xml_document& part,
                                            const std::vector<std::string>& names);

    // Whether texts name the plan's bookmarks in the plan's order.
    bool Fits(const std::vector<BookmarkText>& texts) const;

    // Appends the filled part for texts (which must fit) to out.
    void Render(const std::vector<BookmarkText>& texts, std::string& out) const;

private:
    // Where a text's run stands; run_open is "<w:r>" and its formatting.
    struct Slot {
        std::size_t text = 0;
        std::string run_open;
        bool formatted = false;  // a run with formatting stays when its text is empty
    };
    void RenderRun(const Slot& slot, std::string_view value, std::string& out) const;

    std::vector<std::string> names_;
    std::vector<std::string> constants_;  // before each slot, and the rest after the last
    std::vector<Slot> slots_;
};

}  // namespace zorbix::office
