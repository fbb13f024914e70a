// The docx bookmark filler on any template: the bookmarks the reader finds
// are filled with texts and the filled document reads back with them, or the
// template is refused with its message.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "base/error.h"
#include "base/gbk.h"
#include "fuzz/fuzz_file.h"
#include "office/docx_bookmarks.h"

using namespace zorbix;

namespace {

// Texts with the characters the filler translates: line breaks, tabs,
// markup characters and Chinese.
const char* const kTexts[] = {"测试单位", "a\r\nb\tc", "<&>\"'", "", "3.拖延"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto source = fuzzing::WriteInput("template.docx", data, size);
    const auto target = fuzzing::FuzzFolder() / "report.docx";
    std::vector<office::BookmarkText> texts;
    try {
        for (const auto& [name, text] : office::ReadDocxBookmarks(source)) {
            (void)text;
            if (texts.size() == std::size(kTexts)) break;
            texts.push_back({name, kTexts[texts.size()]});
        }
        office::FillDocxBookmarks(source, target, texts);
    } catch (const base::GbkError&) {
        return 0;
    } catch (const base::Failure&) {
        return 0;
    }
    // A document the filler wrote must open again.
    try {
        (void)office::ReadDocxBookmarks(target);
    } catch (const base::Failure&) {
        __builtin_trap();
    }
    return 0;
}
