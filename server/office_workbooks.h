// The workbooks the office downloads, made by the same core code as the
// batch tool's, on the run's own connection, into a scratch folder:
//   GET /api/summaries       the twelve summary workbooks as one zip, each
//                            byte for byte what `zorbix-cli summarize` writes
//   GET /api/reconcile.xlsx  the reconciliation with the loaded plan
//   GET /api/export          the project list (`zorbix-cli export`)
#pragma once

#include "server/project_files.h"
#include "server/run_board.h"
#include "server/run_store.h"

namespace zorbix::server {

// Throws ApiError 503 when the program directory lacks the summary
// templates, base::Failure with the run's messages when a workbook could
// not be made.
Download SummariesDownload(RunStore& run, RunTicket& ticket);

// Throws ApiError 422 when no plan was loaded (reconcile_data.h).
Download ReconcileDownload(RunStore& run);

// Throws base::Failure with the export's message when it failed.
Download ExportDownload(RunStore& run, RunTicket& ticket);

}  // namespace zorbix::server
