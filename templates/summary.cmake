# The twelve summary templates, generated into the program directory from
# the code lists the pickers use.
pkg_check_modules(XLSXWRITER REQUIRED IMPORTED_TARGET xlsxwriter)

add_executable(zorbix-summary-templates
  ${CMAKE_CURRENT_LIST_DIR}/summary_generator.cpp
  ${CMAKE_CURRENT_LIST_DIR}/summary_sheet.cpp
  ${CMAKE_CURRENT_LIST_DIR}/summary_print_layout.cpp)
target_include_directories(zorbix-summary-templates PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(zorbix-summary-templates PRIVATE zorbix_summary PkgConfig::XLSXWRITER)
zorbix_warnings(zorbix-summary-templates)
# A build tool, not part of the program: kept out of the program directory.
set_target_properties(zorbix-summary-templates PROPERTIES
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)

set(zorbix_summary_templates
  发表论文专著情况 专利情况 人才培养情况 资金来源情况 资金支出情况 项目进展情况
  项目未完成原因 项目负责人情况 项目参加人情况 省级资金各类计划分布汇总
  资金合计各类计划分布汇总 项目参加人情况_表三)
list(TRANSFORM zorbix_summary_templates PREPEND ${ZORBIX_PROGRAM_DIR}/)
list(TRANSFORM zorbix_summary_templates APPEND .xlsx)

add_custom_command(
  OUTPUT ${zorbix_summary_templates}
  COMMAND zorbix-summary-templates ${ZORBIX_PROGRAM_DIR}
  DEPENDS zorbix-summary-templates
  COMMENT "Writing the twelve summary templates"
  VERBATIM)
add_custom_target(summary_templates ALL DEPENDS ${zorbix_summary_templates})
