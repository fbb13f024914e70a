// One of the five form pages (the cover and tables one to four): a captioned
// frame holding the fields of its columns with their captions, the page's
// fixed texts, and the buttons "上一页", "下一页" and "关  闭". Built from
// the catalogue and the page layout; behaviour comes from FieldBinder and
// the main window.
#pragma once

#include <QGroupBox>
#include <QPushButton>
#include <map>
#include <string>
#include <vector>

#include "store/catalogue.h"

namespace zorbix::screen {

class CaptionLabel;

class FormPage : public QGroupBox {
public:
    FormPage(store::Page page, QWidget* parent);

    store::Page page() const { return page_; }

    // Field widgets (FieldEdit, or ResultsEdit for JDCG) in tab order.
    const std::vector<QWidget*>& fields() const { return fields_; }
    QWidget* Field(const std::string& column) const;
    // The caption that names a column's field, or nullptr.
    CaptionLabel* CaptionOf(const std::string& column) const;

    QPushButton* previous() const { return previous_; }
    QPushButton* next() const { return next_; }
    QPushButton* close() const { return close_; }

private:
    void BuildFields();
    void BuildNotes();
    void BuildButtons();

    store::Page page_;
    std::vector<QWidget*> fields_;
    std::map<std::string, QWidget*> by_column_;
    std::map<std::string, CaptionLabel*> captions_;
    QPushButton* previous_ = nullptr;
    QPushButton* next_ = nullptr;
    QPushButton* close_ = nullptr;
};

// The frame's object name ("FrameCover", "Frame1".."Frame4").
QString FrameName(store::Page page);

}  // namespace zorbix::screen
