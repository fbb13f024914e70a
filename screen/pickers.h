// The 18 code pickers of table one and table four. A picker opens at the
// field that owns it (its position, its width) while that field has the
// focus; the field keeps the focus and its own key handling. Only a pick
// changes a value: the picker never takes the focus, so typing cannot reach
// it, and a pick writes the item (the region picker only its six-digit code)
// into the current record.
//
// The picker is drawn over the field but shows and takes clicks only on its
// drop-down button, so the field under it stays readable and editable.
#pragma once

#include <QComboBox>
#include <QObject>
#include <functional>
#include <map>
#include <string>

#include "store/catalogue.h"
#include "store/code_lists.h"
#include "store/record_set.h"

namespace zorbix::screen {

class PickerBox : public QComboBox {
public:
    PickerBox(store::Picker picker, QWidget* parent);
    store::Picker picker() const { return picker_; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    // A closed picker takes no keys and no wheel turns: only a pick from its
    // open list changes a value.
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    store::Picker picker_;
};

class PickerSet : public QObject {
public:
    // The field widget of a column, to give it the focus after a pick.
    using FieldLookup = std::function<QWidget*(const std::string& column)>;

    // Table-one pickers live on table_one, ComboJGCSCD on table_four.
    PickerSet(QWidget* table_one, QWidget* table_four, store::RecordSet& records,
              FieldLookup lookup);

    // The picker part of a field's focus handling: place its picker at the
    // field, hide every other and show it.
    void ShowFor(QWidget* field, const store::Column& column);
    // PickerRow, set when a field of a shared picker's row takes the focus.
    void SetRow(int row) { row_ = row; }
    // Hides all 18 pickers in the survey's order.
    void HideAll();
    // The reaction to a pick of item `index` (what a click in the list does).
    void Pick(store::Picker picker, int index);

    PickerBox* Box(store::Picker picker) const { return boxes_.at(picker); }
    int row() const { return row_; }

private:
    // The field a pick of this picker writes: its own, or by PickerRow.
    std::string TargetColumn(store::Picker picker) const;

    store::RecordSet& records_;
    FieldLookup lookup_;
    std::map<store::Picker, PickerBox*> boxes_;
    int row_ = 0;  // PickerRow: the row (1..3) of the last row field focused
};

}  // namespace zorbix::screen
