// The three survey rules the window runs when the focus leaves a cover or
// table-one field: the project number, the e-mail address and the appraisal
// date. Plain functions over the record's values, so the rules are tested
// without a window and the web pages can run the same ones. Each answers
// with the message of its problem, nullopt when the value passes.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "store/record_set.h"

namespace zorbix::check {

inline constexpr std::string_view kBadProjectNumber = "项目编号格式错误。";
inline constexpr std::string_view kBadEmail = "Email地址格式错误。";
inline constexpr std::string_view kBadAppraisalDate = "鉴定日期格式或时间有误。";

// JB02: exactly 12 characters (store::HasProjectNumberLength).
std::optional<std::string> ProjectNumberProblem(std::string_view jb02);

// JB06: an "@" that is neither the first nor the last character.
std::optional<std::string> EmailProblem(std::string_view jb06);

// JB82 of an appraised project (JB81 not "2"): "XXXX-XX" with the fifth
// character "-" and a year not before the start year JB63_1.
std::optional<std::string> AppraisalDateProblem(std::string_view jb81, std::string_view jb82,
                                                std::string_view jb63_1);

// The problem of leaving the field of `column` on the current record, or
// nullopt when it passes (also for fields without a rule). Leaving JB82 of
// a project that was not appraised empties JB83 instead of checking.
std::optional<std::string> LeavingProblem(store::RecordSet& records, std::string_view column);

}  // namespace zorbix::check
