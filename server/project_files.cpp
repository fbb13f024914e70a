#include "server/project_files.h"

#include <fstream>
#include <iterator>

#include "exchange/exchange_writer.h"
#include "report/project_report.h"
#include "report/report_files.h"
#include "server/api_error.h"
#include "server/download_name.h"
#include "server/scratch_folder.h"
#include "store/catalogue.h"

namespace zorbix::server {
namespace {

constexpr const char* kDocxType =
    "application/vnd.openxmlformats-officedocument.wordprocessingml.document";
constexpr const char* kExchangeType = "application/octet-stream";
constexpr std::string_view kExchangeExtension = ".kj";

std::string FileBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.good() && !in.eof()) throw base::Failure("服务器无法读取生成的报表，请稍后重试。");
    return bytes;
}

}  // namespace

Download ReportDownload(const store::Record& record, const std::filesystem::path& program_dir) {
    const ScratchFolder scratch;
    // A name of our own: the number may hold what no file name may.
    const auto file = scratch.path() / ("report" + std::string(report::kReportExtension));
    try {
        scratch.WithRoom("生成报表",
                         [&] { report::WriteProjectReportTo(record, program_dir, file); });
    } catch (const report::TemplateMissing&) {
        throw ApiError(503, "服务器上缺少报表模板文件，暂时不能生成报表，请与调查办公室联系。");
    }
    return {FileBytes(file), kDocxType,
            AttachmentDisposition(record[store::kNumberColumn], report::kReportExtension)};
}

Download ExchangeDownload(const store::Record& record) {
    std::string bytes;
    try {
        bytes = exchange::RecordBytes(record, exchange::kSubmitPlaceholder);
    } catch (const base::Failure& failure) {
        throw ApiError(422, std::string("项目不能写成交换文件：") + failure.what());
    }
    return {std::move(bytes), kExchangeType,
            AttachmentDisposition(record[store::kNumberColumn], kExchangeExtension)};
}

}  // namespace zorbix::server
