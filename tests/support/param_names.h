// Names of the cases of parameterised suites. Every case names itself, so a
// case keeps its name from build to build and `ctest -R` finds it again;
// the suites' PrintTo overloads print a case by the same name, never as a
// dump of its bytes.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <string_view>

namespace zorbix::testing {

// A test name holds letters, digits and underscores only: every other
// character becomes an underscore.
inline std::string TestNameOf(std::string_view text) {
    std::string name(text);
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
}

// The case's own `name` member as its name.
struct NameMember {
    template <class Param>
    std::string operator()(const ::testing::TestParamInfo<Param>& info) const {
        return TestNameOf(info.param.name);
    }
};

// A text parameter (a file name, a format) as its name.
struct TextParam {
    template <class Param>
    std::string operator()(const ::testing::TestParamInfo<Param>& info) const {
        return TestNameOf(info.param);
    }
};

}  // namespace zorbix::testing
