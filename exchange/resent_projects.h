// Projects that an exchange file sends again: append skips a stored number,
// but the incoming version may carry corrections. They are compared column
// by column as an exchange file carries them (a CR LF or a trailing blank is
// a difference; a double quote against the apostrophe that stands for it, or
// an empty value against its placeholder, is none), so the user can see
// which differ and take the incoming version of those.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/outcome.h"
#include "base/prompter.h"
#include "store/record_set.h"

namespace zorbix::exchange {

struct ResentProject {
    std::string number;  // as stored
    store::Row stored;
    store::Row incoming;
    std::vector<int> columns;  // the differing ones, in table order
};

// The columns whose incoming value differs from the stored one.
std::vector<int> DifferingColumns(const store::Record& stored,
                                  std::span<const std::string_view> incoming);

// What append adds to its messages about the skipped projects: how many
// were identical and which differ. Empty when nothing was skipped.
std::string ResentSummary(int identical, const std::vector<ResentProject>& differing);

// Backs up, then gives each chosen stored project the incoming values of its
// differing columns (and of those only) in one transaction; the history
// records exactly those columns. The set is
// reopened on failure.
base::Outcome ReplaceResentProjects(store::RecordSet& records, base::Prompter& prompter,
                                    const std::vector<ResentProject>& chosen);

}  // namespace zorbix::exchange
