#include "report/report_printing.h"

#include "report/print_service.h"
#include "report/report_files.h"
#include "report/report_messages.h"
#include "store/catalogue.h"
#include "store/error.h"

namespace zorbix::report {

bool CommandPrint(const store::RecordSet& records, store::Prompter& prompter,
                  const std::filesystem::path& program_dir) {
    std::filesystem::path report;
    try {
        report = ReportPath(program_dir, records.Value(store::ColumnIndex("JB02")));
    } catch (const store::Failure& failure) {
        store::Inform(prompter, store::kProgramTitle, failure.what());
        return false;
    }
    std::error_code ec;
    if (!std::filesystem::is_regular_file(report, ec)) {
        store::Inform(prompter, store::kSavedFileTitle, kReportNotFound);
        return false;
    }
    try {
        PrintJob job;
        {
            store::BusyScope busy(prompter, "报表打印");
            job = PrintDocument(report);
        }
        store::Inform(prompter, store::kSavedFileTitle, "报表已送往打印机“" + job.printer + "”打印。");
        return true;
    } catch (const store::Failure& failure) {
        // The print failure's own description, without an icon.
        prompter.Show({std::string(store::kProgramTitle), failure.what(), store::Icon::None,
                       store::Buttons::Ok});
        return false;
    }
}

}  // namespace zorbix::report
