// Project numbers in call paths.
#include "server/project_path.h"

#include <gtest/gtest.h>

namespace zorbix::testing {
namespace {

using server::ProjectNumberInTarget;

TEST(ProjectPath, TheNumberIsDecodedFromTheTargetAsSent) {
    EXPECT_EQ(ProjectNumberInTarget("/api/projects/201300000001", ""), "201300000001");
    EXPECT_EQ(ProjectNumberInTarget("/api/projects/2013%2F01?x=1", ""), "2013/01");
    EXPECT_EQ(ProjectNumberInTarget("/api/projects/%E9%A1%B9%e7%9b%ae", ""), "项目");
    EXPECT_EQ(ProjectNumberInTarget("/api/projects/50%/findings", "/findings"), "50%");
    EXPECT_EQ(ProjectNumberInTarget("/api/projects/a%2", ""), "a%2");
    EXPECT_EQ(ProjectNumberInTarget("/api/projects/a%zz", ""), "a%zz");
}

TEST(ProjectPath, OtherShapesHaveNoNumber) {
    EXPECT_EQ(ProjectNumberInTarget("/api/projects/", ""), std::nullopt);
    EXPECT_EQ(ProjectNumberInTarget("/api/projects/1/findings", ""), std::nullopt);
    EXPECT_EQ(ProjectNumberInTarget("/api/projects//findings", "/findings"), std::nullopt);
    EXPECT_EQ(ProjectNumberInTarget("/api/project/1", ""), std::nullopt);
    EXPECT_EQ(ProjectNumberInTarget("/api/projects/1/2/findings", "/findings"), std::nullopt);
}

}  // namespace
}  // namespace zorbix::testing
