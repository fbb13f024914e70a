// The two kinds of project list file, told by the file name's extension,
// and the texts the list commands show.
#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

namespace zorbix::lists {

enum class ListFormat { Xlsx, Csv };

// .xlsx or .csv (any case); nullopt for every other name.
std::optional<ListFormat> ListFormatOf(const std::filesystem::path& file);

inline constexpr std::string_view kExportTitle = "导出项目表";
inline constexpr std::string_view kImportTitle = "导入项目表";
inline constexpr std::string_view kListFilter = "Excel工作簿|*.xlsx|CSV文件|*.csv";
inline constexpr std::string_view kOpenListFilter =
    "项目表|*.xlsx *.csv|Excel工作簿|*.xlsx|CSV文件|*.csv";
// The name the save dialog proposes, in the program directory.
inline constexpr std::string_view kProposedListName = "项目表_2013.xlsx";
inline constexpr std::string_view kProjectSheetName = "项目";
inline constexpr std::string_view kBadListName =
    "项目表的文件名必须以.xlsx（Excel工作簿）或.csv（CSV文件）结尾。";

}  // namespace zorbix::lists
