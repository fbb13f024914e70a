// The one version of the program (CMake's project version), as both
// programs and the packages show it.
#pragma once

#include <string>

namespace zorbix::app {

// "2013.1"
std::string Version();
// "ZORBIX 2013.1（Qorvath省科技计划项目执行情况年度调查 2013年度）"
std::string VersionText();

}  // namespace zorbix::app
