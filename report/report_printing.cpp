#include "report/report_printing.h"

#include "base/error.h"
#include "base/message_text.h"
#include "report/print_service.h"
#include "report/report_files.h"
#include "report/report_messages.h"
#include "store/catalogue.h"
#include "store/titles.h"

namespace zorbix::report {

base::Outcome CommandPrint(const store::RecordSet& records, base::Prompter& prompter,
                           const std::filesystem::path& program_dir) {
    std::filesystem::path report;
    try {
        report = ReportPath(program_dir, records.Value(store::kNumberColumn));
    } catch (const base::Failure& failure) {
        base::Inform(prompter, store::kProgramTitle, failure.what());
        return base::Outcome::Failed;
    }
    std::error_code ec;
    if (!std::filesystem::is_regular_file(report, ec)) {
        base::Inform(prompter, store::kSavedFileTitle, kReportNotFound);
        return base::Outcome::Refused;
    }
    try {
        PrintJob job;
        {
            base::BusyScope busy(prompter, "报表打印");
            job = PrintDocument(report);
        }
        base::Inform(prompter, store::kSavedFileTitle,
                     base::MessageText("报表已送往打印机“{1}”打印。", {job.printer}));
        return base::Outcome::Done;
    } catch (const base::Failure& failure) {
        // The print failure's own description, without an icon.
        prompter.Show({std::string(store::kProgramTitle), failure.what(), base::Icon::None,
                       base::Buttons::Ok});
        return base::Outcome::Failed;
    }
}

}  // namespace zorbix::report
