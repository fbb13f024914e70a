// The body of a return (POST /api/projects/{n}/return) as the server reads
// it: what it lets through is a comment on the project that is not empty,
// and comments on known columns only, none of them empty.
#include <cstddef>
#include <cstdint>

#include "fuzz/api_refusal.h"
#include "server/project_review.h"
#include "store/catalogue.h"

using namespace zorbix;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    fuzzing::RefusedOnlyAsBadInput([&] {
        const auto comments = server::ReturnComments(server::ParseObject(text));
        if (comments.project.empty() || fuzzing::HoldsNul(comments.project)) std::abort();
        for (const auto& [column, comment] : comments.fields)
            if (!store::FindColumn(column) || comment.empty() || fuzzing::HoldsNul(comment))
                std::abort();
    });
    return 0;
}
