// The object names of the window's buttons and menu items. They are the
// names the survey's original form gave its controls (Command1 is the list
// page's "项目上报"), kept so that scripts and tests that look a control up by
// name still find it; the code refers to them only through these constants,
// which say what each control does.
#pragma once

namespace zorbix::screen::control {

// The start screen.
inline constexpr char kStartEditData[] = "CommandEditData";
inline constexpr char kStartCheck[] = "CommandCheck";
inline constexpr char kStartAppend[] = "CommandAddData";
inline constexpr char kStartSubmit[] = "CommandExcel";
inline constexpr char kStartDistribute[] = "CommandEachItem";
inline constexpr char kStartReports[] = "CommandReports";
inline constexpr char kStartDataInit[] = "CommandDataInit";
inline constexpr char kStartSummary[] = "CommandSum";
inline constexpr char kStartReconcile[] = "CommandItem";
inline constexpr char kStartEnd[] = "CommandEnd";

// The list page and its check result panel.
inline constexpr char kListAdd[] = "CommandAddItem";
inline constexpr char kListEdit[] = "CommandEdit";
inline constexpr char kListCheck[] = "CommandCheckItem";
inline constexpr char kListDelete[] = "CommandDeleteItem";
inline constexpr char kListSubmit[] = "Command1";
inline constexpr char kListReport[] = "CommandReport";
inline constexpr char kListPrint[] = "CommandPrint";
inline constexpr char kListEndEditing[] = "CommandExitDataEdit";
inline constexpr char kPanel[] = "TextCheckReport";
inline constexpr char kPanelClear[] = "CommandCheckClear";
inline constexpr char kPanelSave[] = "CommandSaveCheckReport";
// Added to the list page: the grid's filter and order, and the moves
// between the panel's findings.
inline constexpr char kListFilter[] = "TextFilter";
inline constexpr char kListOnlyFindings[] = "CheckOnlyFindings";
inline constexpr char kListStoreOrder[] = "CommandStoreOrder";
inline constexpr char kPanelNextFinding[] = "CommandNextFinding";
inline constexpr char kPanelPreviousFinding[] = "CommandPreviousFinding";

// The title strip's locate button.
inline constexpr char kLocate[] = "CommandQuery";

// A form page's buttons end with the page's suffix (Cover, 1 to 4).
inline constexpr char kPagePreviousStem[] = "CommandFront";
inline constexpr char kPageNextStem[] = "CommandBack";
inline constexpr char kPageCloseStem[] = "CommandClose";

// Menu items.
inline constexpr char kMenuDataEdit[] = "MenuDataEdit";
inline constexpr char kMenuHelpView[] = "MenuHelpView";

}  // namespace zorbix::screen::control
