// Request bodies as the calls read them: a JSON object, nothing else, and
// never one nested deeper than any call's body is, however large.
#include "server/json_body.h"

#include <gtest/gtest.h>

#include <string>

#include "server/api_error.h"

namespace zorbix::server {
namespace {

std::string Nested(int levels) {
    return "{\"a\":" + std::string(levels - 1, '[') + std::string(levels - 1, ']') + "}";
}

TEST(JsonBody, OnlyObjectsOfBoundedNestingAreTaken) {
    struct Case {
        std::string text;
        bool taken;
    };
    const Case cases[] = {
        {R"({"version":3,"values":{"JB01":"名称"}})", true},
        {"{}", true},
        {Nested(kMostNesting), true},
        {Nested(kMostNesting + 1), false},
        {"{\"a\":" + std::string(1'000'000, '['), false},              // never closed, never parsed
        {R"({"a":"[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[["})", true},     // brackets in a text
        {R"({"a":"\"[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[["})", true},  // after an escaped quote
        {"[1,2]", false},
        {"\"text\"", false},
        {"", false},
        {"{\"a\":1", false},
        {"{\"a\":1}{", false},
        {"\xff\xfe{}", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 60));
        if (c.taken) {
            EXPECT_TRUE(ParseObject(c.text).is_object());
            continue;
        }
        try {
            ParseObject(c.text);
            ADD_FAILURE() << "taken";
        } catch (const ApiError& refused) {
            EXPECT_EQ(refused.status(), 400);
        }
    }
}

}  // namespace
}  // namespace zorbix::server
