#include "screen/finding_navigator.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTextBlock>
#include <algorithm>

#include "base/error.h"
#include "check/finding_fields.h"
#include "screen/field_edit.h"
#include "store/catalogue.h"
#include "store/store_messages.h"
#include "store/titles.h"

namespace zorbix::screen {
namespace {

using store::RecordEventKind;

// A block's user state: the index of its finding, or one of these.
constexpr int kUnread = -1;  // Qt's default for a new block
constexpr int kNoFinding = -2;

// The column of a page field, -1 for any other widget.
int ColumnOfField(QWidget* widget) {
    if (auto* field = qobject_cast<FieldEdit*>(widget)) return field->column().index;
    if (auto* results = qobject_cast<ResultsEdit*>(widget)) return results->column().index;
    return -1;
}

}  // namespace

FindingNavigator::FindingNavigator(QPlainTextEdit* panel, store::RecordSet& records,
                                   base::Prompter& prompter,
                                   std::function<void(int column)> show_field, QObject* parent)
    : QObject(parent),
      panel_(panel),
      records_(records),
      prompter_(prompter),
      show_field_(std::move(show_field)) {
    panel_->installEventFilter(this);
    panel_->viewport()->installEventFilter(this);
    connect(panel_->document(), &QTextDocument::contentsChange, this,
            [this](int from, int, int added) { OnTextChange(from, added); });
    connect(panel_->document(), &QTextDocument::contentsChanged, this,
            [this] { OnPanelChanged(); });
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget* old, QWidget*) { OnFocusChanged(old); });
    listener_ = records_.Subscribe([this](const store::RecordEvent& e) { OnRecordEvent(e); });
}

FindingNavigator::~FindingNavigator() { records_.Unsubscribe(listener_); }

void FindingNavigator::ShowFindings(std::vector<check::Finding> findings) {
    findings_ = std::move(findings);
    std::size_t next = 0;
    for (QTextBlock b = panel_->document()->begin(); b.isValid(); b = b.next()) {
        const bool is_next = next < findings_.size() &&
                             b.text() == QString::fromStdString(check::PanelLine(findings_[next]));
        b.setUserState(is_next ? static_cast<int>(next++) : kUnread);
    }
    lines_built_ = false;
    lines_.clear();
}

std::vector<check::Finding> FindingNavigator::Findings() {
    std::vector<check::Finding> shown;
    for (QTextBlock b = panel_->document()->begin(); b.isValid(); b = b.next())
        if (const check::Finding* finding = FindingAt(b)) shown.push_back(*finding);
    return shown;
}

const check::Finding* FindingNavigator::FindingAt(QTextBlock block) {
    if (!block.isValid()) return nullptr;
    if (block.userState() == kUnread) {
        auto finding = check::FindingOfLine(block.text().toStdString());
        if (finding) findings_.push_back(std::move(*finding));
        block.setUserState(finding ? static_cast<int>(findings_.size()) - 1 : kNoFinding);
    }
    const int state = block.userState();
    return state >= 0 ? &findings_[static_cast<std::size_t>(state)] : nullptr;
}

// An edited line is read again from its text when next needed; our own
// greying changes no text.
void FindingNavigator::OnTextChange(int from, int added) {
    if (formatting_) return;
    QTextDocument* document = panel_->document();
    const QTextBlock last = document->findBlock(from + added);
    for (QTextBlock b = document->findBlock(from); b.isValid(); b = b.next()) {
        b.setUserState(kUnread);
        if (b == last) break;
    }
}

int FindingNavigator::PositionOf(const std::string& number) {
    if (positions_.empty()) {
        const std::vector<std::string> numbers = records_.ColumnValues(store::kNumberColumn);
        positions_.reserve(numbers.size());
        // The line holds the number exactly as stored; the first of equal
        // numbers is the one a locate finds.
        for (std::size_t i = 0; i < numbers.size(); ++i)
            positions_.emplace(numbers[i], static_cast<int>(i) + 1);
    }
    const auto it = positions_.find(number);
    return it == positions_.end() ? 0 : it->second;
}

bool FindingNavigator::JumpTo(int line) {
    const check::Finding* finding = FindingAt(panel_->document()->findBlockByNumber(line));
    if (!finding) return false;
    // The finding lives in findings_, which reading other lines may grow.
    const std::string number = finding->project;
    const std::string message = finding->text;
    current_ = line;
    SelectLine(line);
    const int position = PositionOf(number);
    if (position <= 0) {
        base::Inform(prompter_, store::kProgramTitle, store::kLocateNotFound);
        return false;
    }
    try {
        if (!records_.HasCurrent() || records_.Position() != position) records_.MoveTo(position);
    } catch (const base::Failure& e) {
        base::Inform(prompter_, store::kProgramTitle, e.what());
        return false;
    }
    const int column = check::FocusColumn(message, records_.Current());
    if (column >= 0) show_field_(column);
    return true;
}

bool FindingNavigator::Next() { return Step(1); }
bool FindingNavigator::Previous() { return Step(-1); }

bool FindingNavigator::Step(int direction) {
    QTextDocument* document = panel_->document();
    int from = current_;
    if (panel_->hasFocus() || from < 0 || from >= document->blockCount())
        from = panel_->hasFocus() ? panel_->textCursor().blockNumber()
                                  : (direction > 0 ? -1 : document->blockCount());
    QTextBlock block = from < 0 ? document->begin() : document->findBlockByNumber(from);
    if (from >= document->blockCount())
        block = document->lastBlock();
    else if (from >= 0)
        block = direction > 0 ? block.next() : block.previous();
    for (; block.isValid(); block = direction > 0 ? block.next() : block.previous())
        if (FindingAt(block)) return JumpTo(block.blockNumber());
    return false;
}

void FindingNavigator::SelectLine(int line) {
    QTextCursor cursor(panel_->document()->findBlockByNumber(line));
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    panel_->setTextCursor(cursor);
    panel_->ensureCursorVisible();
}

const std::unordered_map<std::string, std::vector<int>>& FindingNavigator::LinesByProject() {
    if (lines_built_) return lines_;
    lines_.clear();
    for (QTextBlock b = panel_->document()->begin(); b.isValid(); b = b.next())
        if (const check::Finding* finding = FindingAt(b))
            lines_[finding->project].push_back(b.blockNumber());
    lines_built_ = true;
    return lines_;
}

std::unordered_map<std::string, int> FindingNavigator::CountsByProject() {
    std::unordered_map<std::string, int> counts;
    for (const auto& [number, lines] : LinesByProject())
        counts[number] = static_cast<int>(lines.size());
    return counts;
}

void FindingNavigator::OnPanelChanged() {
    if (formatting_) return;
    lines_built_ = false;
    lines_.clear();
    stale_.clear();
    current_ = -1;
}

void FindingNavigator::OnRecordEvent(const store::RecordEvent& event) {
    switch (event.kind) {
        case RecordEventKind::ValueChanged:
            edited_columns_.insert(event.column);
            if (event.column == store::kNumberColumn) positions_.clear();
            return;
        case RecordEventKind::Written: return;
        case RecordEventKind::Moved: edited_columns_.clear(); return;
        default: edited_columns_.clear(); positions_.clear();
    }
}

void FindingNavigator::OnFocusChanged(QWidget* old) {
    const int column = ColumnOfField(old);
    if (column < 0 || edited_columns_.erase(column) == 0 || !records_.HasCurrent()) return;
    MarkStale(std::string(records_.Value(store::kNumberColumn)), column);
}

void FindingNavigator::MarkStale(const std::string& number, int column) {
    const auto& by_project = LinesByProject();
    const auto it = by_project.find(number);
    if (it == by_project.end()) return;
    QTextCharFormat grey;
    grey.setForeground(QColor(0x99, 0x99, 0x99));
    formatting_ = true;
    for (int line : it->second) {
        const QTextBlock block = panel_->document()->findBlockByNumber(line);
        const check::Finding* finding = FindingAt(block);
        if (!finding || stale_.count(line)) continue;
        const std::vector<int> columns = check::FindingColumns(finding->text);
        if (std::find(columns.begin(), columns.end(), column) == columns.end()) continue;
        QTextCursor cursor(block);
        cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(grey);
        stale_.insert(line);
    }
    formatting_ = false;
}

bool FindingNavigator::eventFilter(QObject* watched, QEvent* event) {
    if (watched == panel_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) &&
            FindingAt(panel_->textCursor().block()))
            return JumpTo(panel_->textCursor().blockNumber()) || true;
    }
    if (watched == panel_->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
        const QTextBlock block = panel_->cursorForPosition(at).block();
        if (FindingAt(block)) {
            JumpTo(block.blockNumber());
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace zorbix::screen
