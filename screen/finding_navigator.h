// Makes the check result panel a work list: a finding line leads to its
// project, the page of the field its rule is about and the field itself
// (double-click or Enter on the line, F8 and Shift+F8 from anywhere, the
// panel's two buttons). Once the clerk changes such a field and leaves it,
// the project's lines about that field turn grey until the next check.
// Only the panel's formatting changes, never its text.
//
// Each line of the panel knows the finding it stands for (its block's user
// state indexes `findings_`): after a check, the check's own findings; a
// line that came without one (typed by the clerk, set as text) is read as a
// finding line when first needed, and again after every edit of it.
#pragma once

#include <QObject>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <functional>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "base/prompter.h"
#include "check/check_result.h"
#include "store/record_set.h"

namespace zorbix::screen {

class FindingNavigator : public QObject {
public:
    // `show_field(column)` opens the page of a column and focuses its field.
    FindingNavigator(QPlainTextEdit* panel, store::RecordSet& records, base::Prompter& prompter,
                     std::function<void(int column)> show_field, QObject* parent);
    ~FindingNavigator() override;

    // The panel now shows the text of a check made from `findings`, in
    // their order; an empty list when the text came without findings.
    void ShowFindings(std::vector<check::Finding> findings);
    // The findings the panel's lines stand for, in line order.
    std::vector<check::Finding> Findings();

    // Goes to the finding of that panel line (0-based); false when the line
    // is no finding or its project is not stored.
    bool JumpTo(int line);
    // The next (previous) finding line after (before) the last one gone to,
    // or the line of the panel's cursor; false when there is none.
    bool Next();
    bool Previous();

    // After a check: the findings per project number of the panel.
    std::unordered_map<std::string, int> CountsByProject();

    bool IsStale(int line) const { return stale_.count(line) > 0; }
    int current_line() const { return current_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    const check::Finding* FindingAt(QTextBlock block);
    void OnTextChange(int from, int added);
    bool Step(int direction);
    int PositionOf(const std::string& number);
    void SelectLine(int line);
    void OnPanelChanged();
    void OnRecordEvent(const store::RecordEvent& event);
    void OnFocusChanged(QWidget* old);
    void MarkStale(const std::string& number, int column);
    const std::unordered_map<std::string, std::vector<int>>& LinesByProject();

    QPlainTextEdit* panel_;
    store::RecordSet& records_;
    base::Prompter& prompter_;
    std::function<void(int)> show_field_;
    std::vector<check::Finding> findings_;  // a check's, then those read from text
    int listener_ = 0;
    int current_ = -1;
    std::set<int> stale_;
    std::set<int> edited_columns_;  // of the current record, since it became current
    std::unordered_map<std::string, int> positions_;  // number → position, built on demand
    std::unordered_map<std::string, std::vector<int>> lines_;  // number → finding lines
    bool lines_built_ = false;
    bool formatting_ = false;  // our own greying, not a change of the text
};

}  // namespace zorbix::screen
