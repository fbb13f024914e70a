// A request the server answers with an error: the HTTP status and the
// user's message, sent as {"error": "<message>"}. Thrown inside a route;
// the route's guard (zorbix_server.cpp) turns it into the response.
#pragma once

#include <string>

#include "base/error.h"

namespace zorbix::server {

class ApiError : public base::Failure {
public:
    ApiError(int status, const std::string& message) : base::Failure(message), status_(status) {}
    int status() const { return status_; }

private:
    int status_;
};

// The errors every route may give, with their one wording each.
[[noreturn]] void NotLoggedIn();  // 401
[[noreturn]] void NotAllowed();   // 403: not for this role
// 404: no such project, or none of this unit's: a unit cannot tell which.
[[noreturn]] void NoSuchProject(const std::string& number);
[[noreturn]] void BadInput(const std::string& message);  // 400

}  // namespace zorbix::server
