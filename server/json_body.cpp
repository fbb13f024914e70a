#include "server/json_body.h"

#include "server/api_error.h"

namespace zorbix::server {

Json ObjectBody(const httplib::Request& request) {
    const std::string type = request.get_header_value("Content-Type");
    if (type.rfind("application/json", 0) != 0)
        BadInput("请求内容须为JSON（Content-Type: application/json）。");
    Json body = Json::parse(request.body, nullptr, false);
    if (body.is_discarded() || !body.is_object()) BadInput("请求内容不是有效的JSON对象。");
    return body;
}

std::string TextMember(const Json& object, std::string_view name) {
    const auto it = object.find(name);
    if (it == object.end() || !it->is_string())
        BadInput("请求缺少文本项“" + std::string(name) + "”。");
    return it->get<std::string>();
}

void SendJson(httplib::Response& response, int status, const Json& body) {
    response.status = status;
    response.set_content(body.dump(-1, ' ', false, Json::error_handler_t::replace),
                         "application/json; charset=utf-8");
}

void SendError(httplib::Response& response, int status, std::string_view message) {
    SendJson(response, status, Json{{"error", message}});
}

}  // namespace zorbix::server
