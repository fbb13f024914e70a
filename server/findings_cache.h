// How many findings the four rule sets give for each stored project, kept
// between calls: the rules run again only for a project whose version
// moved since they last ran on it (project_version.h), so the office's
// progress on a full store (32767 projects) costs one scan of the numbers
// once the first call has checked every project. Used under the store's
// lock only.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>

#include "server/shared_store.h"

namespace zorbix::server {

class FindingsCache {
public:
    // Every stored project number with its count of findings.
    std::unordered_map<std::string, int> Counts(StoreParts& parts);

private:
    struct Entry {
        std::int64_t version = 0;
        int findings = 0;
    };
    std::unordered_map<std::string, Entry> entries_;
};

}  // namespace zorbix::server
