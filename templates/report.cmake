# The report template "2013模板.docx" and the help document, written into
# the program directory by a generator of ours at every build that changes it.
file(GLOB report_template_sources CONFIGURE_DEPENDS
  ${CMAKE_CURRENT_SOURCE_DIR}/report_*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/help_*.cpp)
add_executable(zorbix-report-templates ${report_template_sources})
target_include_directories(zorbix-report-templates PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(zorbix-report-templates PRIVATE zorbix_report zorbix_office zorbix_store)
set_target_properties(zorbix-report-templates PROPERTIES
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/templates)
zorbix_warnings(zorbix-report-templates)

set(ZORBIX_REPORT_TEMPLATE "${ZORBIX_PROGRAM_DIR}/2013模板.docx")
set(ZORBIX_HELP_DOCUMENT "${ZORBIX_PROGRAM_DIR}/Qorvath省科技计划项目执行情况年度调查系统帮助文件.docx")
set(ZORBIX_HELP_PAGE "${ZORBIX_PROGRAM_DIR}/Qorvath省科技计划项目执行情况年度调查系统帮助文件.html")
add_custom_command(
  OUTPUT ${ZORBIX_REPORT_TEMPLATE} ${ZORBIX_HELP_DOCUMENT} ${ZORBIX_HELP_PAGE}
  COMMAND zorbix-report-templates ${ZORBIX_PROGRAM_DIR}
  DEPENDS zorbix-report-templates
  COMMENT "Writing the report template and the help document"
  VERBATIM)
add_custom_target(report_templates ALL
  DEPENDS ${ZORBIX_REPORT_TEMPLATE} ${ZORBIX_HELP_DOCUMENT} ${ZORBIX_HELP_PAGE})
