// Writes the report template, the help document and the help as a web page
// into the program directory given as the only argument.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "office/zip_archive.h"
#include "report/report_files.h"
#include "templates/report_docx_xml.h"
#include "templates/report_template.h"

int main(int argc, char** argv) {
    using namespace zorbix;
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s PROGRAM_DIR\n", argv[0]);
        return 2;
    }
    try {
        const std::filesystem::path dir = argv[1];
        std::filesystem::create_directories(dir);
        office::WriteZip(report::TemplatePath(dir),
                         templates::DocxPackage(templates::ReportTemplateBody(),
                                                "Qorvath省科技计划项目执行情况年度调查表"));
        office::WriteZip(
            report::HelpDocumentPath(dir),
            templates::DocxPackage(templates::HelpDocumentBody(),
                                   "Qorvath省科技计划项目执行情况年度调查系统使用说明"));
        std::ofstream page(report::HelpPagePath(dir), std::ios::binary | std::ios::trunc);
        page << templates::HelpDocumentPage();
        if (!page.flush()) throw std::runtime_error("cannot write the help page");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
