// The headers every response carries, whatever it answers: a content
// security policy that lets a page run only this server's own scripts and
// styles, no guessing of content types, no framing by other sites, no
// caching of answers that hold project data; over TLS, strict transport
// security.
#pragma once

#include <httplib.h>

namespace zorbix::server {

httplib::Headers SecurityHeaders(bool tls = false);

// The largest body of a call that takes JSON; a larger one is refused (413)
// before it is read. Uploads have limits of their own (upload_limits.h).
inline constexpr std::size_t kMaxBodyBytes = 2 * 1024 * 1024;

}  // namespace zorbix::server
