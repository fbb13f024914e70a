// The writers of the two list formats: each takes the stored projects one
// by one, in store order, and writes its file when told the list is
// complete. Nothing reaches the target before Finish.
#pragma once

#include <filesystem>
#include <memory>

#include "lists/list_files.h"
#include "store/record.h"

namespace zorbix::lists {

class ListWriter {
public:
    virtual ~ListWriter() = default;
    // Throws base::Failure naming the value that cannot be written.
    virtual void Add(const store::Record& record) = 0;
    // Writes the file (atomically); throws base::Failure naming it.
    virtual void Finish() = 0;
};

std::unique_ptr<ListWriter> MakeListWriter(ListFormat format, const std::filesystem::path& file);

}  // namespace zorbix::lists
