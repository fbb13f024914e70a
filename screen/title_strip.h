// The title strip along the top of the window, on every screen: the record
// navigator with its position caption, the current project's number and
// name (bound to JB02 and JB01), and the locate box with its button.
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QWidget>

#include "base/prompter.h"
#include "store/record_set.h"

namespace zorbix::screen {

class FieldEdit;

class TitleStrip : public QWidget {
public:
    TitleStrip(store::RecordSet& records, base::Prompter& prompter, QWidget* parent);

    FieldEdit* item_number() const { return item_number_; }
    FieldEdit* item_name() const { return item_name_; }
    QLabel* position() const { return position_; }
    QLineEdit* query() const { return query_; }

    // Shows the current position ("position/count"); with no record current
    // the caption stays as it was.
    void ShowRecordPosition();

private:
    QWidget* BuildNavigator();
    void Navigate(void (*step)(store::RecordSet&));
    void Locate();

    store::RecordSet& records_;
    base::Prompter& prompter_;
    QLabel* position_ = nullptr;
    FieldEdit* item_number_ = nullptr;
    FieldEdit* item_name_ = nullptr;
    QLineEdit* query_ = nullptr;
};

}  // namespace zorbix::screen
