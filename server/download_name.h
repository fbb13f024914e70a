// The Content-Disposition of a file the server hands out, named after a
// project number. A number is whatever the store holds, so no quote, line
// end, slash, backslash or other control or path character of it reaches
// the header or the name a browser saves under: those become "_". The
// name goes out twice (RFC 6266): as UTF-8, percent-encoded (RFC 5987,
// filename*), and as a plain ASCII stand-in for clients that know no more.
#pragma once

#include <string>
#include <string_view>

namespace zorbix::server {

// The project number as a file name: every character that a file name or
// the header must not hold replaced by "_", leading dots too, and every
// byte beyond ASCII of a number that is not UTF-8; "项目" for an empty
// number.
std::string SafeFileStem(std::string_view number);

// attachment; filename="<ASCII stand-in><extension>"; filename*=UTF-8''<encoded>
// `extension` is ours (".docx", ".kj") and goes out as it is.
std::string AttachmentDisposition(std::string_view number, std::string_view extension);

}  // namespace zorbix::server
