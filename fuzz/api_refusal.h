// What the fuzz targets of the server's request readers share: a reader
// may refuse its input only as the API refuses bad input (ApiError 400 or
// 422, which the page shows as a message); any other exception, which the
// server would answer as a failure of its own or of the store, and any
// crash, is a fault.
#pragma once

#include <cstdlib>
#include <string_view>

#include "server/api_error.h"

namespace zorbix::fuzzing {

template <class Read>
void RefusedOnlyAsBadInput(Read read) {
    try {
        read();
    } catch (const server::ApiError& error) {
        if (error.status() != 400 && error.status() != 422) std::abort();
        if (std::string_view(error.what()).empty()) std::abort();
    } catch (...) {
        std::abort();
    }
}

inline bool HoldsNul(std::string_view text) { return text.find('\0') != std::string_view::npos; }

}  // namespace zorbix::fuzzing
