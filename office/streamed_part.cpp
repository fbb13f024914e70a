#include "office/streamed_part.h"

#include <zip.h>

#include <memory>

#include "base/error.h"
#include "base/file_names.h"
#include "base/message_text.h"

namespace zorbix::office {

using base::Failure;

void StreamedPart::Read(const office::ZipArchive& package, const std::string& part) {
    what_ = base::MessageText("{1}的{2}", {base::QuotedFileName(package.file()), part});
    const zip_int64_t index = zip_name_locate(package.handle(), part.c_str(), 0);
    zip_stat_t stat;
    if (index < 0 ||
        zip_stat_index(package.handle(), static_cast<zip_uint64_t>(index), 0, &stat) != 0)
        throw Failure(base::MessageText("{1}无法读取，文件已损坏。", {what_}));
    const bool sized = (stat.valid & ZIP_STAT_SIZE) != 0;
    if (sized && stat.size > kMaxStreamedPartBytes)
        throw Failure(base::MessageText("{1}解压后过大（{2} MB），已拒绝读取。",
                                        {what_, std::to_string(stat.size >> 20)}));
    std::unique_ptr<zip_file_t, int (*)(zip_file_t*)> file(
        zip_fopen_index(package.handle(), static_cast<zip_uint64_t>(index), 0), zip_fclose);
    if (!file)
        throw Failure(
            base::MessageText("{1}无法打开：{2}。", {what_, zip_strerror(package.handle())}));
    XmlStream stream(*this);
    try {
        Feed(file.get(), sized ? stat.size : kMaxStreamedPartBytes, stream);
    } catch (const XmlStreamError& e) {
        if (e.doctype())
            throw Failure(base::MessageText(
                "{1}含有文档类型定义（DTD），Office文件中不允许，已拒绝读取。", {what_}));
        throw Failure(base::MessageText("{1}的XML内容已损坏（{2}）。", {what_, e.what()}));
    }
}

void StreamedPart::Feed(zip_file_t* file, std::uint64_t declared, XmlStream& stream) {
    constexpr std::size_t kBlock = std::size_t{1} << 18;
    const auto buffer = std::make_unique<char[]>(kBlock);
    std::uint64_t done = 0;
    while (true) {
        const zip_int64_t n = zip_fread(file, buffer.get(), kBlock);
        if (n < 0)
            throw Failure(base::MessageText("{1}已损坏，无法完整读取（{2}）。",
                                            {what_, zip_file_strerror(file)}));
        done += static_cast<std::uint64_t>(n);
        // A zip that lies about its size is read no further than it said.
        if (done > declared)
            throw Failure(
                base::MessageText("{1}已损坏（解压后比文件中记载的更大），已拒绝读取。", {what_}));
        if (n == 0) break;
        stream.Feed({buffer.get(), static_cast<std::size_t>(n)});
        if (progress && (done >> 18) % 16 == 0) progress(done, declared);
    }
    if (done < declared) throw Failure(base::MessageText("{1}已损坏，无法完整读取。", {what_}));
    stream.Finish();
}

}  // namespace zorbix::office
