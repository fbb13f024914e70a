// Filling the bookmarks of a Word document (.docx) with texts, and reading
// them back. A filled bookmark encloses its new text (start, text, end), so
// a filled document can be read and filled again by bookmark name.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace zorbix::office {

struct BookmarkText {
    std::string name;  // the bookmark's name
    std::string text;  // UTF-8; CR LF, CR or LF become line breaks, TAB a tab
};

// Writes a copy of `source` to `target` (atomically; target must not be
// source) in which each named bookmark holds its text instead of what it
// held, in the formatting of the place. Throws base::Failure when the
// source cannot be read or the target written (naming the file), and when a
// bookmark is missing (naming the bookmark); nothing is written then.
void FillDocxBookmarks(const std::filesystem::path& source, const std::filesystem::path& target,
                       const std::vector<BookmarkText>& texts);

// The text each bookmark of a document encloses, by name (line breaks as
// LF, tabs as TAB). Throws base::Failure when the file cannot be read.
std::map<std::string, std::string> ReadDocxBookmarks(const std::filesystem::path& file);

}  // namespace zorbix::office
