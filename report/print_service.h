// The system's print service: a saved report is rendered to PDF by
// LibreOffice (headless) and handed to the default printer of CUPS. The
// report itself is never changed: a copy is rendered in a private folder.
// The platform calls live in print_service_posix.cpp only.
#pragma once

#include <filesystem>
#include <string>

namespace zorbix::report {

struct PrintJob {
    std::string printer;  // the destination that took the job
    std::string request;  // CUPS's request id ("Printer-12")
};

// Prints a document on the default printer. Throws base::Failure with a
// message that says what to install or set up when LibreOffice, CUPS or a
// default printer is missing, and what went wrong otherwise.
PrintJob PrintDocument(const std::filesystem::path& document);

}  // namespace zorbix::report
