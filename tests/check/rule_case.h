// Table-driven rule tests: a record built from a base row and a few field
// values, and the finding lines one rule set is expected to produce.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "check/check_result.h"
#include "store/catalogue.h"
#include "store/record.h"

namespace zorbix::check {

struct RuleCase {
    const char* name;
    std::vector<std::pair<const char*, std::string>> values;
    std::vector<const char*> expected;  // messages, in order
};

inline store::Record WithValues(store::Row row, const RuleCase& c) {
    for (const auto& [column, value] : c.values) row[store::ColumnIndex(column)] = value;
    return store::Record(row);
}

inline std::string Lines(const std::string& number, const std::vector<const char*>& messages) {
    std::string text;
    for (const char* m : messages) text += "项目" + number + m + "\r\n";
    return text;
}

// Runs one rule set over every case and compares its exact output.
using RuleSet = void (*)(const store::Record&, CheckResult&);

inline void ExpectCases(const store::Row& base, const std::vector<RuleCase>& cases,
                        RuleSet rule_set) {
    for (const RuleCase& c : cases) {
        const store::Record record = WithValues(base, c);
        CheckResult result;
        rule_set(record, result);
        const std::string number(record[store::ColumnIndex("JB02")]);
        EXPECT_EQ(result.text, Lines(number, c.expected)) << c.name;
        EXPECT_EQ(result.failed, !c.expected.empty()) << c.name;
    }
}

}  // namespace zorbix::check
