// How large a request body may be, by call: files uploaded to the office's
// calls (workbooks, exchange files) may be larger than any JSON body.
//
// A body beyond its call's limit, upload or JSON, is refused (413) from
// its declared Content-Length before a byte of it is read: at once to a
// client that waits for "100 Continue", else with the connection closed
// after the answer. A body sent without a length (chunked) is read no
// further than the largest limit and refused (413) before its call sees it.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace zorbix::server {

// The largest workbook (plan, units) and exchange file the server reads.
inline constexpr std::size_t kMaxWorkbookBytes = 16 * 1024 * 1024;
inline constexpr std::size_t kMaxExchangeBytes = 64 * 1024 * 1024;
// The largest body of any call: what the HTTP server reads at most.
inline constexpr std::size_t kMaxAnyBodyBytes = kMaxExchangeBytes;

// The limit of the call at this path (without its query).
std::size_t BodyLimitFor(std::string_view path);

// The message of a 413 answer for a body over the path's limit.
std::string TooLargeMessage(std::string_view path);

// For a request whose declared length (the Content-Length header's text) is
// beyond its call's limit: the 413 message; nullopt for any other request.
std::optional<std::string> BodyTooLarge(std::string_view path, std::string_view content_length);

}  // namespace zorbix::server
