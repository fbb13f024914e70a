// Planning an import from any bytes saved as a workbook and as a CSV file:
// it plans records or refuses the file with its message; a plan without
// problems holds only records with a 12-character number.
#include <cstddef>
#include <cstdint>

#include "base/error.h"
#include "fuzz/fuzz_file.h"
#include "lists/import_plan.h"
#include "store/catalogue.h"
#include "store/project_number.h"

using namespace zorbix;

namespace {

void Plan(const std::filesystem::path& file, lists::ListFormat format) {
    try {
        const lists::ImportPlan plan = lists::PlanImport(file, format);
        if (plan.problem_count > 0) return;
        for (const auto& project : plan.projects)
            if (!store::HasProjectNumberLength(project.record[store::kNumberColumn]))
                __builtin_trap();
    } catch (const base::Failure&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Plan(fuzzing::WriteInput("input.xlsx", data, size), lists::ListFormat::Xlsx);
    Plan(fuzzing::WriteInput("input.csv", data, size), lists::ListFormat::Csv);
    return 0;
}
