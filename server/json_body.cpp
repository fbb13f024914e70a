#include "server/json_body.h"

#include <algorithm>

#include "server/api_error.h"

namespace zorbix::server {

namespace {

// The deepest nesting of arrays and objects in a JSON text, counted before
// it is parsed: a body of a million "[" never reaches the parser.
int Nesting(std::string_view text) {
    int depth = 0, deepest = 0;
    bool in_string = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (in_string) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                in_string = false;
        } else if (c == '"') {
            in_string = true;
        } else if (c == '[' || c == '{') {
            deepest = std::max(deepest, ++depth);
            if (deepest > kMostNesting) return deepest;
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
    return deepest;
}

// True when a text or a name in the value holds U+0000. PostgreSQL cannot
// store it and its client library would end the text there, so that a
// name would find another account and a comment would lose its end.
bool HoldsNul(const Json& value) {
    if (value.is_string())
        return value.get_ref<const std::string&>().find('\0') != std::string::npos;
    if (value.is_array())
        return std::any_of(value.begin(), value.end(), [](const Json& v) { return HoldsNul(v); });
    if (!value.is_object()) return false;
    for (const auto& [name, member] : value.items())
        if (name.find('\0') != std::string::npos || HoldsNul(member)) return true;
    return false;
}

}  // namespace

Json ParseObject(std::string_view text) {
    if (Nesting(text) > kMostNesting) BadInput("请求内容的JSON嵌套过深。");
    Json body = Json::parse(text, nullptr, false);
    if (body.is_discarded() || !body.is_object()) BadInput("请求内容不是有效的JSON对象。");
    if (HoldsNul(body)) BadInput("请求内容含有空字符（U+0000），不能接受。");
    return body;
}

Json ObjectBody(const httplib::Request& request) {
    const std::string type = request.get_header_value("Content-Type");
    if (type.rfind("application/json", 0) != 0)
        BadInput("请求内容须为JSON（Content-Type: application/json）。");
    return ParseObject(request.body);
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
