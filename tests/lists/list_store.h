// Stores for the project list tests: demo projects plus projects whose
// values hold everything a list file must carry unchanged.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "base/gbk.h"
#include "store/catalogue.h"
#include "store/demo_projects.h"
#include "store/store.h"
#include "tests/support/temp_dir.h"

namespace zorbix::testing {

// A store in a fresh program directory.
class ListStore {
public:
    ListStore() : store_(std::make_unique<store::Store>(dir_.path())) {}

    store::RecordSet& records() { return store_->records(); }
    const std::filesystem::path& dir() const { return dir_.path(); }
    std::filesystem::path operator/(const std::string& name) const { return dir_ / name; }

    // Demo projects and two projects of awkward values: quotes, commas,
    // markup characters, CR LF, leading zeros, the "." placeholder, a number column
    // holding text, and the longest allowed GBK texts.
    void FillAwkward(int demo = 20) {
        store::AddDemoProjects(records(), demo, 5);
        store::Row row = store::MakeDemoProject("201399000001", 9);
        Put(row, "JB01", LongestChinese(80));
        Put(row, "XMCDDW", "单位\"甲\",乙&丙");
        Put(row, "JDCG", "第一行\r\n第二行, \"引号\"\r\n<第三行> ");
        Put(row, "JF1101", "007");
        Put(row, "JF1102", "12.3");
        Put(row, "JF1701", ".");
        Put(row, "JF1702", "12.30");
        Put(row, "JL100", "3人");
        Put(row, "BY1", "_x0041_");
        Put(row, "BY2", " 前后空格 ");
        records().AddNew(row);
        store::Row second = store::MakeDemoProject("000000000012", 10);
        Put(second, "JB01", "零开头的编号");
        Put(second, "JF1101", "");
        records().AddNew(second);
        records().Reopen();
    }

    void Close() { store_.reset(); }
    void Open() { store_ = std::make_unique<store::Store>(dir_.path()); }

    static void Put(store::Row& row, const char* column, std::string value) {
        row[store::ColumnIndex(column)] = std::move(value);
    }

    // Chinese characters filling exactly `bytes` GBK bytes.
    static std::string LongestChinese(int bytes) {
        std::string text;
        for (int i = 0; i < bytes / 2; ++i) text += "测";
        return text;
    }

private:
    TempDir dir_;
    std::unique_ptr<store::Store> store_;
};

}  // namespace zorbix::testing
