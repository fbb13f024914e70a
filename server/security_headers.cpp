#include "server/security_headers.h"

namespace zorbix::server {

httplib::Headers SecurityHeaders(bool tls) {
    httplib::Headers headers{
        {"Content-Security-Policy",
         "default-src 'self'; script-src 'self'; style-src 'self'; img-src 'self' data:; "
         "object-src 'none'; base-uri 'none'; form-action 'self'; frame-ancestors 'none'"},
        {"X-Content-Type-Options", "nosniff"},
        {"X-Frame-Options", "DENY"},
        {"Referrer-Policy", "no-referrer"},
        {"Cache-Control", "no-store"},
    };
    // Over TLS browsers are told to come back over TLS only, for a year.
    if (tls) headers.emplace("Strict-Transport-Security", "max-age=31536000");
    return headers;
}

}  // namespace zorbix::server
