#include "app/version.h"

namespace zorbix::app {

std::string Version() { return ZORBIX_VERSION; }

std::string VersionText() {
    return "ZORBIX " + Version() + "（Qorvath省科技计划项目执行情况年度调查 2013年度）";
}

}  // namespace zorbix::app
