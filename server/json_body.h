// Reading a request's JSON body and writing JSON answers. Bodies must be
// declared as JSON: a page of another site cannot send that without the
// browser asking this server first.
#pragma once

#include <httplib.h>

#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

namespace zorbix::server {

using Json = nlohmann::json;

// The body as a JSON object; ApiError 400 when it is not one.
Json ObjectBody(const httplib::Request& request);

// A text as a JSON object; ApiError 400 when it is not one, when it
// nests deeper than any call's body does (kMostNesting levels), or when a
// text or name in it holds U+0000, which no store keeps.
inline constexpr int kMostNesting = 16;
Json ParseObject(std::string_view text);

// A member that must be a text; ApiError 400 when missing or not a text.
std::string TextMember(const Json& object, std::string_view name);

// Sends `body` with the status; texts that are not UTF-8 (an old store may
// hold such bytes) go out with U+FFFD in their place.
void SendJson(httplib::Response& response, int status, const Json& body);
void SendError(httplib::Response& response, int status, std::string_view message);

}  // namespace zorbix::server
