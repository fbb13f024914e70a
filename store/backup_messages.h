// What the safety nets' operations say, under one title: 备份与恢复.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "base/prompter.h"

namespace zorbix::store {

inline constexpr std::string_view kBackupTitle = "备份与恢复";

inline void TellOfBackups(base::Prompter& p, std::string_view text,
                          base::Icon icon = base::Icon::Information) {
    base::Inform(p, kBackupTitle, text, icon);
}

// A file named in these messages: its name in quotes, its folder known.
inline std::string QuotedName(const std::filesystem::path& file) {
    return "“" + file.filename().string() + "”";
}

}  // namespace zorbix::store
