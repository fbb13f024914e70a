// POST /api/exchange: the office appends an exchange file (.kj, the body)
// through the program's own append, on the run's own connection: whole
// records only, numbers already stored skipped and compared with the
// stored projects, one transaction, a backup before. The projects added
// are given their units (appended_owners.h).
#pragma once

#include <string>

#include "server/json_body.h"
#include "server/run_board.h"
#include "server/run_store.h"

namespace zorbix::server {

// Answers {"added": [number, …], "skipped": n, "identical": n,
// "differing": [{"number", "columns": [name, …], "changes": [{"column",
// "stored", "incoming"}, …]}, …], "owners": {number: unit}, "message"}.
// Throws ApiError 422 with append's own message when the file is refused
// or the append failed; nothing is added then.
Json AppendUpload(RunStore& run, RunTicket& ticket, const std::string& bytes);

}  // namespace zorbix::server
