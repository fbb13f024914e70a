// A request the server answers with an error: the HTTP status and the
// user's message, sent as {"error": "<message>"}, with what else the page
// needs beside the message (the current values of a record changed
// meanwhile, the findings that stop a submission). Thrown inside a route;
// the route's guard (route_context.h) turns it into the response.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "base/error.h"

namespace zorbix::server {

class ApiError : public base::Failure {
public:
    ApiError(int status, const std::string& message) : base::Failure(message), status_(status) {}
    // `details`: an object whose members stand beside "error" in the answer.
    ApiError(int status, const std::string& message, nlohmann::json details)
        : base::Failure(message), status_(status), details_(std::move(details)) {}
    int status() const { return status_; }
    // {"error": message} and the details' members.
    nlohmann::json Body() const;

private:
    int status_;
    nlohmann::json details_;
};

// The errors every route may give, with their one wording each.
[[noreturn]] void NotLoggedIn();  // 401
[[noreturn]] void NotAllowed();   // 403: not for this role
// 404: no such project, or none of this unit's: a unit cannot tell which.
[[noreturn]] void NoSuchProject(const std::string& number);
[[noreturn]] void BadInput(const std::string& message);  // 400

}  // namespace zorbix::server
