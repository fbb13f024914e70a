// The documents that lie beside the program for the report subsystem: the
// report template and the help document, generated at build time.
#pragma once

#include <string>

namespace zorbix::templates {

// The body (paragraphs and tables) of the report template. Throws
// std::logic_error when its bookmarks differ from the report's placements.
std::string ReportTemplateBody();

// The body of the help document for the clerks.
std::string HelpDocumentBody();
// The same help as a web page (UTF-8 HTML), for machines without a program
// that opens the document.
std::string HelpDocumentPage();

}  // namespace zorbix::templates
