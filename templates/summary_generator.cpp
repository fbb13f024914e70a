// Build step: writes the twelve summary templates into the program
// directory given as the only argument.
#include <cstdio>
#include <exception>
#include <filesystem>

#include "summary/summary_catalogue.h"
#include "templates/summary_sheet.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "用法: %s 程序目录\n", argv[0]);
        return 2;
    }
    try {
        const std::filesystem::path dir = argv[1];
        std::filesystem::create_directories(dir);
        for (const auto& summary : zorbix::summary::Summaries())
            zorbix::templates::WriteSummaryTemplate(
                summary, dir / zorbix::summary::TemplateFileName(summary));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
