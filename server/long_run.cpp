#include "server/long_run.h"

namespace zorbix::server {

void SendDownload(httplib::Response& response, const Download& download) {
    response.status = 200;
    response.set_header("Content-Disposition", download.disposition);
    response.set_content(download.bytes, download.content_type);
}

}  // namespace zorbix::server
