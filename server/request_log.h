// One line per request on standard error: method, path without its query,
// status and milliseconds. Never a body, a header, a password or a token:
// the log may be read by people who may not read the store.
#pragma once

#include <httplib.h>

#include <iosfwd>

namespace zorbix::server {

// Marks the start of a request on this thread (the pre-routing handler).
void NoteRequestStart();

// Writes the line of a finished request to `log`.
void LogRequest(std::ostream& log, const httplib::Request& request,
                const httplib::Response& response);

}  // namespace zorbix::server
