#include "server/progress_facts.h"

#include "store/catalogue.h"

namespace zorbix::server {

const std::vector<ProjectFacts>& ProjectFactsCache::Of(StoreParts& parts, FindingsCache& findings,
                                                       const StoreMarker& now) {
    if (marker_ == now) return facts_;
    const auto counts = findings.Counts(parts);
    const int region = store::ColumnIndex("JB22");    // 行政区划代码
    const int category = store::ColumnIndex("JB61");  // 计划类别
    const int columns[] = {store::kNumberColumn, region, category};
    std::vector<ProjectFacts> facts;
    facts.reserve(static_cast<std::size_t>(now.projects));
    parts.records().VisitColumns(columns, [&](const store::Record& row) {
        std::string number(row[store::kNumberColumn]);
        const auto found = counts.find(number);
        facts.push_back({std::move(number), std::string(row[region]), std::string(row[category]),
                         found == counts.end() ? 0 : found->second});
        return true;
    });
    facts_ = std::move(facts);
    marker_ = now;
    return facts_;
}

}  // namespace zorbix::server
