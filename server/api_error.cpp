#include "server/api_error.h"

namespace zorbix::server {

nlohmann::json ApiError::Body() const {
    nlohmann::json body = details_.is_object() ? details_ : nlohmann::json::object();
    body["error"] = what();
    return body;
}

void NotLoggedIn() { throw ApiError(401, "尚未登录或登录已过期，请重新登录。"); }

void NotAllowed() { throw ApiError(403, "当前账户无权进行此操作。"); }

void NoSuchProject(const std::string& number) {
    throw ApiError(404, "没有编号为“" + number + "”的项目。");
}

void BadInput(const std::string& message) { throw ApiError(400, message); }

}  // namespace zorbix::server
