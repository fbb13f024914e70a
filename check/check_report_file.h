// Saving the result panel as a text file ("保存结果"): the panel's text and
// one more line end, in GBK with CR LF line ends, the form the survey's other
// programs read.
#pragma once

#include <string>
#include <string_view>

#include "base/outcome.h"
#include "base/prompter.h"

namespace zorbix::check {

inline constexpr std::string_view kSaveDialogTitle = "保存审核结果";
inline constexpr std::string_view kSaveFilter = "Txt|*.Txt";

// The bytes of a result file for a panel text: every line end written as
// CR LF (a lone LF typed into the panel becomes CR LF too), one CR LF added
// at the end, the whole in GBK. Throws base::GbkError for a character GBK
// cannot hold.
std::string CheckReportFileBytes(std::string_view panel);

// Asks for a file name and writes the panel there, replacing the file
// atomically, then tells where it was saved. A cancelled dialog writes
// nothing and asks for a name. A text GBK cannot hold or a file that cannot
// be written is told with the reason; nothing is written then. The panel is
// never changed. Done when the file was written, Cancelled without a name,
// Failed otherwise.
base::Outcome SaveCheckReport(base::Prompter& prompter, std::string_view panel);

}  // namespace zorbix::check
