// Projects as the JSON API writes them: values by column name, findings as
// data (page, column, text).
#pragma once

#include <span>

#include "check/check_result.h"
#include "server/json_body.h"
#include "store/record.h"

namespace zorbix::server {

// {"JB01": "…", …} over all 137 columns.
Json ValuesJson(const store::Record& record);

// [{"page": "table_one", "column": "JB22", "text": "…"}, …]; page and
// column are null where the rule names no field.
Json FindingsJson(std::span<const check::Finding> findings);

}  // namespace zorbix::server
