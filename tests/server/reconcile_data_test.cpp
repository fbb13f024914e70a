// The reconciliation with the loaded plan as data, for the office.
#include <gtest/gtest.h>

#include "tests/server/server_fixture.h"
#include "tests/server/workbook_bytes.h"

namespace zorbix::testing {
namespace {

using accounts::Role;
using nlohmann::json;

class ReconcileCall : public ServerFixture {
protected:
    ReconcileCall() {
        AddAccount("clerk", Role::Clerk, "", "clerk-password");
        AddAccount("unit", Role::Unit, "甲单位", "unit-password");
        AddProject("201300000001", "甲单位");
        AddProject("201300000009", "甲单位");
        clerk_ = Login("clerk", "clerk-password");
        std::filesystem::create_directory(scratch_);
    }

    void LoadPlan() {
        const WorkbookRows plan = {
            {std::string("序号"), std::string("项目编号"), std::string("项目名称"),
             std::string("承担单位"), std::string("处室"), std::string("金额")},
            {1.0, 201300000001.0, std::string("一"), std::string("甲单位"), std::string("处"),
             50.0},
        };
        ASSERT_EQ(Upload("/api/plan", &clerk_, WorkbookBytes(scratch_, plan)).status, 200);
    }

    std::filesystem::path scratch_ = dir_.path() / "scratch";
    BrowserSession clerk_;
};

TEST_F(ReconcileCall, FindingsAsDataBesideThePanelText) {
    LoadPlan();
    const Reply reply = Call("GET", "/api/reconcile", &clerk_);
    ASSERT_EQ(reply.status, 200) << reply.body;
    const json answer = reply.Json();
    EXPECT_EQ(answer["counts"], (json{{"漏报", 0}, {"错报", 1}, {"金额错误", 1}}));
    ASSERT_EQ(answer["findings"].size(), 2u);
    EXPECT_EQ(answer["findings"][0]["kind"], "金额错误");
    EXPECT_EQ(answer["findings"][0]["number"], "201300000001");
    EXPECT_EQ(answer["findings"][0]["planned_amount"], 50);
    EXPECT_EQ(answer["findings"][1]["kind"], "错报");
    EXPECT_EQ(answer["findings"][1]["number"], "201300000009");
    EXPECT_EQ(answer["findings"][1]["planned_amount"], nullptr);
    EXPECT_NE(answer["panel"].get<std::string>().find("错报"), std::string::npos);
}

TEST_F(ReconcileCall, WithoutAPlanItSaysWhatIsMissing) {
    const Reply reply = Call("GET", "/api/reconcile", &clerk_);
    EXPECT_EQ(reply.status, 422);
    EXPECT_NE(reply.Json()["error"].get<std::string>().find("请先上传计划表"), std::string::npos);
}

TEST_F(ReconcileCall, OnlyTheOfficeReconciles) {
    LoadPlan();
    const BrowserSession unit = Login("unit", "unit-password");
    EXPECT_EQ(Call("GET", "/api/reconcile", &unit).status, 403);
}

}  // namespace
}  // namespace zorbix::testing
