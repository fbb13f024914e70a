// The store's speed and memory on 32767 demo projects: filling the store,
// opening it at the first record, walking every record with all columns,
// and the resident memory of the process holding it open.
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "bench/bench_store.h"
#include "bench/bench_support.h"
#include "store/catalogue.h"
#include "store/demo_projects.h"
#include "store/store.h"

using namespace zorbix;

int main() {
    const auto dir = std::filesystem::temp_directory_path() / "zorbix-store-bench";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    bool ok = true;
    const std::string database = bench::FreshDatabaseFor(dir);
    {
        store::Store store(dir, database);
        bench::Stopwatch demo;
        store::AddDemoProjects(store.records(), 32767, 2013);
        ok &= bench::Report("demo 32767 into an empty store", demo.Milliseconds(),
                            bench::Target(3000, 5000), "ms");
    }
    bench::Stopwatch open;
    auto store = std::make_unique<store::Store>(dir, database);
    store->records().MoveFirst();
    ok &= bench::Report("open the store and reach the first record", open.Milliseconds(),
                        bench::Target(200, 300), "ms");

    bench::Stopwatch walk;
    std::size_t bytes = 0;
    auto& records = store->records();
    for (records.MoveFirst(); !records.AtEnd(); records.MoveNext())
        for (int c = 0; c < store::kColumnCount; ++c) bytes += records.Value(c).size();
    ok &= bench::Report("walk all records reading all 137 columns", walk.Milliseconds(),
                        bench::Target(300, 1000), "ms");
    ok &= bench::Report("resident memory holding the open store", bench::ResidentMegabytes(), 150,
                        "MB");
    std::printf("(%d records, %zu bytes of values)\n", records.Count(), bytes);
    store.reset();
    std::filesystem::remove_all(dir);
    return ok ? EXIT_SUCCESS : EXIT_FAILURE;
}
