// AppendProjects of any file into a store: the append either adds exactly
// the records it reports or nothing, and the store stays readable. One store
// per process; it is emptied in one transaction when it grows.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "base/gbk.h"
#include "exchange/exchange_operations.h"
#include "fuzz/fuzz_file.h"
#include "store/sqlite_db.h"
#include "store/store.h"

using namespace zorbix;

namespace {

// Answers the open dialog with the fuzzed file and every question with OK;
// silences the per-record duplicate messages.
class FileAnswering : public base::Prompter {
public:
    explicit FileAnswering(std::filesystem::path file) : file_(std::move(file)) {}
    bool Show(const base::Message&) override { return true; }
    bool ShowRepeated(const base::Message&) override { return true; }
    std::optional<std::string> AskText(std::string_view, std::string_view) override {
        return std::nullopt;
    }
    std::optional<std::filesystem::path> ChooseSaveFile(const base::FileDialog&) override {
        return std::nullopt;
    }
    std::optional<std::filesystem::path> ChooseOpenFile(const base::FileDialog&) override {
        return file_;
    }

private:
    std::filesystem::path file_;
};

constexpr int kEmptiedAbove = 2000;

store::Store& TheStore() {
    static const auto store = std::make_unique<store::Store>(fuzzing::FuzzFolder() / "store");
    return *store;
}

long StoredRows(store::Store& s) {
    store::Statement count(s.database(), "SELECT count(*) FROM kjxmzxqk");
    if (!count.Step()) __builtin_trap();
    const long rows = static_cast<long>(count.Int(0));
    count.Reset();
    return rows;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::filesystem::create_directories(fuzzing::FuzzFolder() / "store");
    TheStore();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    store::Store& s = TheStore();
    store::RecordSet& records = s.records();
    try {
        if (records.Count() > kEmptiedAbove) {
            store::Transaction transaction(s.database());
            records.DeleteAll();
            transaction.Commit();
        }
        const long before = StoredRows(s);
        FileAnswering prompter(fuzzing::WriteInput("input.kj", data, size));
        const exchange::AppendResult result =
            exchange::AppendProjects(records, prompter, fuzzing::FuzzFolder());
        const long after = StoredRows(s);
        // All or nothing, and exactly what the run reports.
        if (result.outcome == exchange::Outcome::Failed && after != before) __builtin_trap();
        if (after - before != result.added) __builtin_trap();
        if (records.Count() != after) __builtin_trap();
        records.Reopen();
        if (records.Count() != after) __builtin_trap();
    } catch (const base::GbkError&) {
    } catch (const base::Failure&) {
    }
    return 0;
}
