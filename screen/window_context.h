// What the operations of the subsystems get when the window wires them: the
// store with its record set, the Prompter the window shows messages with,
// and the program directory (templates, reports and summaries lie there).
#pragma once

#include <filesystem>

#include "base/prompter.h"
#include "store/record_set.h"
#include "store/store.h"

namespace zorbix::screen {

struct WindowContext {
    store::Store& store;
    store::RecordSet& records;
    base::Prompter& prompter;
    std::filesystem::path directory;
};

}  // namespace zorbix::screen
