// The administrator's backups of the store, through the store's own backup
// operations (the window's 备份 and 恢复备份, the batch tool's backups,
// backup and restore):
//   GET  /api/backups                 the backups, newest first
//   POST /api/backups                 a backup now
//   POST /api/backups/{name}/restore  the store replaced by that backup
#pragma once

#include <httplib.h>

#include "server/route_context.h"

namespace zorbix::server {

void AddBackupRoutes(httplib::Server& http, RouteContext& context);

}  // namespace zorbix::server
