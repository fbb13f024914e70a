#include "check/check_result.h"

namespace zorbix::check {
namespace {

constexpr std::string_view kLinePrefix = "项目";

}  // namespace

std::string PanelLine(const Finding& finding) {
    std::string line;
    line.reserve(kLinePrefix.size() + finding.project.size() + finding.text.size());
    return line.append(kLinePrefix).append(finding.project).append(finding.text);
}

void AppendFindingsText(std::string& out, std::span<const Finding> findings) {
    for (const Finding& finding : findings)
        out.append(kLinePrefix).append(finding.project).append(finding.text).append(kLineEnd);
}

std::string FindingsText(std::span<const Finding> findings) {
    std::string text;
    AppendFindingsText(text, findings);
    return text;
}

void CheckResult::Add(std::string_view project_number, std::string_view message) {
    failed = true;
    findings.push_back({std::string(project_number), store::Page::None, -1, std::string(message)});
    AppendFindingsText(text, std::span(findings).last(1));
}

void CheckResult::Reset() {
    findings.clear();
    text.clear();
    failed = false;
}

}  // namespace zorbix::check
