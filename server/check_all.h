// POST /api/check: the office checks every stored project with the four
// rule sets ("数据审核"), on the run's own connection, as the window's
// list page does.
#pragma once

#include "server/json_body.h"
#include "server/run_board.h"
#include "server/run_store.h"

namespace zorbix::server {

// {"panel": the result panel's text (LF line ends), "findings": [{"number",
// "page", "column", "text"}, …]} in the panel's order; page and column are
// null for a rule that names no field. Throws base::Failure with the
// run's message when the store failed part-way.
Json CheckAllJson(RunStore& run, RunTicket& ticket);

}  // namespace zorbix::server
