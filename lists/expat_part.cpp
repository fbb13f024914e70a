#include "lists/expat_part.h"

#include <zip.h>

#include <memory>
#include <new>

#include "base/error.h"
#include "base/file_names.h"

namespace zorbix::lists {
namespace {

using base::Failure;

std::string_view LocalName(const XML_Char* name) {
    const std::string_view n = name;
    const auto colon = n.find(':');
    return colon == std::string_view::npos ? n : n.substr(colon + 1);
}

}  // namespace

ExpatPart::ExpatPart() : parser_(XML_ParserCreate("UTF-8")) {
    if (!parser_) throw std::bad_alloc();
    XML_SetUserData(parser_, this);
    XML_SetElementHandler(parser_, &ExpatPart::OnStart, &ExpatPart::OnEnd);
    XML_SetCharacterDataHandler(parser_, &ExpatPart::OnText);
    XML_SetStartDoctypeDeclHandler(parser_, &ExpatPart::OnDoctype);
}

ExpatPart::~ExpatPart() { XML_ParserFree(parser_); }

const char* ExpatPart::Attribute(const XML_Char** attributes, std::string_view name) {
    for (int i = 0; attributes[i]; i += 2)
        if (LocalName(attributes[i]) == name) return attributes[i + 1];
    return nullptr;
}

void ExpatPart::Stop(std::exception_ptr error) {
    if (!error_) error_ = std::move(error);
    XML_StopParser(parser_, XML_FALSE);
}

void ExpatPart::OnStart(void* self, const XML_Char* name, const XML_Char** attributes) {
    auto* part = static_cast<ExpatPart*>(self);
    try {
        part->Start(LocalName(name), attributes);
    } catch (...) {
        part->Stop(std::current_exception());
    }
}

void ExpatPart::OnEnd(void* self, const XML_Char* name) {
    auto* part = static_cast<ExpatPart*>(self);
    try {
        part->End(LocalName(name));
    } catch (...) {
        part->Stop(std::current_exception());
    }
}

void ExpatPart::OnText(void* self, const XML_Char* text, int length) {
    auto* part = static_cast<ExpatPart*>(self);
    try {
        part->Text({text, static_cast<std::size_t>(length)});
    } catch (...) {
        part->Stop(std::current_exception());
    }
}

void ExpatPart::OnDoctype(void* self, const XML_Char*, const XML_Char*, const XML_Char*, int) {
    auto* part = static_cast<ExpatPart*>(self);
    part->Stop(std::make_exception_ptr(
        Failure(part->what_ + "含有文档类型定义（DTD），Office文件中不允许，已拒绝读取。")));
}

void ExpatPart::Read(const office::ZipArchive& package, const std::string& part) {
    what_ = base::QuotedFileName(package.file()) + "的" + part;
    const zip_int64_t index = zip_name_locate(package.handle(), part.c_str(), 0);
    zip_stat_t stat;
    if (index < 0 ||
        zip_stat_index(package.handle(), static_cast<zip_uint64_t>(index), 0, &stat) != 0)
        throw Failure(what_ + "无法读取，文件已损坏。");
    const bool sized = (stat.valid & ZIP_STAT_SIZE) != 0;
    if (sized && stat.size > kMaxStreamedPartBytes)
        throw Failure(what_ + "解压后过大（" + std::to_string(stat.size >> 20) +
                      " MB），已拒绝读取。");
    std::unique_ptr<zip_file_t, int (*)(zip_file_t*)> file(
        zip_fopen_index(package.handle(), static_cast<zip_uint64_t>(index), 0), zip_fclose);
    if (!file) throw Failure(what_ + "无法打开：" + zip_strerror(package.handle()) + "。");
    Feed(file.get(), sized ? stat.size : kMaxStreamedPartBytes);
}

void ExpatPart::Feed(zip_file_t* file, std::uint64_t declared) {
    constexpr int kBlock = 1 << 16;
    std::uint64_t done = 0;
    while (true) {
        void* buffer = XML_GetBuffer(parser_, kBlock);
        if (!buffer) throw std::bad_alloc();
        const zip_int64_t n = zip_fread(file, buffer, kBlock);
        if (n < 0)
            throw Failure(what_ + "已损坏，无法完整读取（" + zip_file_strerror(file) + "）。");
        done += static_cast<std::uint64_t>(n);
        // A zip that lies about its size is read no further than it said.
        if (done > declared)
            throw Failure(what_ + "已损坏（解压后比文件中记载的更大），已拒绝读取。");
        if (XML_ParseBuffer(parser_, static_cast<int>(n), n == 0) != XML_STATUS_OK) {
            if (error_) std::rethrow_exception(error_);
            throw Failure(what_ + "的XML内容已损坏（" + XML_ErrorString(XML_GetErrorCode(parser_)) +
                          "，第" + std::to_string(XML_GetCurrentLineNumber(parser_)) + "行）。");
        }
        if (n == 0) break;
        if (progress && (done >> 16) % 64 == 0) progress(done, declared);
    }
    if (done < declared) throw Failure(what_ + "已损坏，无法完整读取。");
}

}  // namespace zorbix::lists
