#include "app/program_files.h"

#include "base/protected_targets.h"
#include "reconcile/plan_list.h"
#include "report/report_files.h"
#include "summary/summary_catalogue.h"

namespace zorbix::app {

void ProtectProgramFiles(const std::filesystem::path& program_dir) {
    base::ProtectFile(report::TemplatePath(program_dir), "报表模板文件");
    base::ProtectFile(report::HelpDocumentPath(program_dir), "帮助文件");
    base::ProtectFile(report::HelpPagePath(program_dir), "帮助文件");
    for (const auto& summary : summary::Summaries())
        base::ProtectFile(program_dir / summary::TemplateFileName(summary), "汇总模板文件");
    base::ProtectFile(program_dir / reconcile::kPlanWorkbookXlsx, "计划文件");
    base::ProtectFile(program_dir / reconcile::kPlanWorkbookXls, "计划文件");
}

}  // namespace zorbix::app
