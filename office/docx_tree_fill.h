// Filling the bookmarks of a parsed main document part, node by node: the
// reference way to fill a template, which office/docx_fill_plan.h turns into
// slices once per template.
#pragma once

#include <pugixml.hpp>
#include <string>
#include <unordered_map>
#include <vector>

#include "office/docx_bookmarks.h"

namespace zorbix::office {

// Every bookmark start by name and every end by id.
struct BookmarkIndex {
    std::unordered_map<std::string, std::vector<pugi::xml_node>> starts;
    std::unordered_map<std::string, pugi::xml_node> ends;
};

BookmarkIndex IndexBookmarks(const pugi::xml_node& root);

// What a fill did with each text, for a caller that cuts the filled part
// into slices.
struct TreeFillTrace {
    // Per text, the serialized formatting its run copied ("" when none).
    std::vector<std::string> properties;
    // Set when a run took its formatting from the run of an earlier text
    // that has none: that run is there only when its text is not empty, so
    // the result may depend on which values are empty.
    bool formatting_follows_values = false;
};

// Fills the texts into the bookmarks in order. Throws base::Failure naming
// a missing bookmark, or one with no paragraph to hold its text.
void FillBookmarkTree(pugi::xml_node root, const std::vector<BookmarkText>& texts,
                      TreeFillTrace* trace = nullptr);

}  // namespace zorbix::office
