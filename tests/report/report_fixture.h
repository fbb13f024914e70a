// A program directory with a store and the generated report template.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "report/report_files.h"
#include "store/catalogue.h"
#include "store/demo_projects.h"
#include "store/store.h"
#include "tests/support/recording_prompter.h"
#include "tests/support/temp_dir.h"

namespace zorbix::report {

class ReportFixture : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::copy_file(std::filesystem::u8path(ZORBIX_REPORT_TEMPLATE),
                                   TemplatePath(dir.path()));
        store = std::make_unique<store::Store>(dir.path());
    }
    store::RecordSet& records() { return store->records(); }

    // Adds a demo project and makes it current.
    std::string AddDemo(const std::string& number, std::uint64_t seed = 1) {
        records().AddNew(store::MakeDemoProject(number, seed));
        return number;
    }

    testing::TempDir dir;
    std::unique_ptr<store::Store> store;
    testing::RecordingPrompter prompter;
};

}  // namespace zorbix::report
