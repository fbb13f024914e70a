// The fold that makes the list filter ignore width and case.
#include "base/search_text.h"

#include <gtest/gtest.h>

namespace zorbix::base {
namespace {

TEST(SearchFolded, MakesWidthAndCaseNotCount) {
    const struct {
        const char* text;
        const char* folded;
    } cases[] = {
        {"ＡＢｃ１２３", "abc123"},
        {"新型Ｍaterial　研究", "新型material 研究"},
        {"（一）", "(一)"},
        {"ABC-x", "abc-x"},
        {"", ""},
        {"项目编号", "项目编号"},
        {"\xff\xfe", "\xff\xfe"},  // not UTF-8: kept byte for byte
        {"\xef\xbc", "\xef\xbc"},  // cut sequence at the end
    };
    for (const auto& c : cases) EXPECT_EQ(SearchFolded(c.text), c.folded) << c.text;
}

TEST(SearchFolded, FindsAcrossWidths) {
    EXPECT_TRUE(ContainsFolded(SearchFolded("省科技厅ＡＢ研究所"), SearchFolded("ab研")));
    EXPECT_FALSE(ContainsFolded(SearchFolded("省科技厅"), SearchFolded("科研")));
}

}  // namespace
}  // namespace zorbix::base
