// Where each project stands in the record set, by its number, so that a
// request for one project does not read the number of every project. The
// index follows the record set's events (added, deleted, reopened,
// refreshed, a number typed over) and is read again when it may be out of
// date; a position it answers is checked against the number stored there.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>

#include "store/record_set.h"

namespace zorbix::server {

class ProjectPositions {
public:
    explicit ProjectPositions(store::RecordSet& records);
    ~ProjectPositions();
    ProjectPositions(const ProjectPositions&) = delete;
    ProjectPositions& operator=(const ProjectPositions&) = delete;

    // 1-based position of the first project with exactly this number in set
    // order; 0 when there is none.
    int Of(std::string_view number);

private:
    int Lookup(const std::string& number) const;
    void Rebuild();

    store::RecordSet& records_;
    int subscription_ = 0;
    bool stale_ = true;
    std::unordered_map<std::string, int> positions_;
};

}  // namespace zorbix::server
