// The files the server hands out for one project: its report (.docx) and
// its exchange file (.kj), made by the same core code as the window's and
// the batch tool's, and named after the project number safely.
#pragma once

#include <filesystem>
#include <string>

#include "store/record.h"

namespace zorbix::server {

struct Download {
    std::string bytes;
    std::string content_type;
    std::string disposition;  // the Content-Disposition header
};

// The report of the record from the template of the program directory.
// Throws ApiError 503 when the template is missing, base::Failure with the
// report's message when it cannot be made.
Download ReportDownload(const store::Record& record, const std::filesystem::path& program_dir);

// The record as an exchange file: the bytes `zorbix-cli submit --project`
// writes. Throws ApiError 422 for a value the exchange layout cannot carry.
Download ExchangeDownload(const store::Record& record);

}  // namespace zorbix::server
