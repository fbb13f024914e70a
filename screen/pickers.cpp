#include "screen/pickers.h"

#include <QAbstractItemView>
#include <QKeyEvent>
#include <QStyleOptionComboBox>
#include <QWheelEvent>

#include "base/error.h"
#include "base/numeric_value.h"
#include "store/catalogue.h"

namespace zorbix::screen {
namespace {

using store::Picker;

struct SharedTargets {
    Picker picker;
    const char* rows[3];
};

// The fields a shared picker writes, by PickerRow 1, 2, 3.
constexpr SharedTargets kShared[] = {
    {Picker::JB25_JB52_JB54, {"JB25", "JB52", "JB54"}},
    {Picker::JB72, {"JB72_01", "JB72_02", "JB72_03"}},
    {Picker::Sex, {"JB421", "JB422", "JB423"}},
    {Picker::EducationalBackground, {"JB441", "JB442", "JB443"}},
    {Picker::Degree, {"JB451", "JB452", "JB453"}},
    {Picker::Title, {"JB461", "JB462", "JB463"}},
    {Picker::Type, {"JB471", "JB472", "JB473"}},
};

std::string OwnColumn(Picker picker) {
    for (const store::Column& c : store::Columns())
        if (c.picker == picker) return c.name;
    return {};
}

}  // namespace

PickerBox::PickerBox(Picker picker, QWidget* parent) : QComboBox(parent), picker_(picker) {
    setObjectName(QString::fromUtf8(store::PickerName(picker)));
    setFocusPolicy(Qt::NoFocus);
    for (const std::string& item : store::PickerItems(picker))
        addItem(QString::fromStdString(item));
    setCurrentIndex(-1);
    setMaxVisibleItems(20);
    view()->setTextElideMode(Qt::ElideNone);
    view()->setMinimumWidth(view()->sizeHintForColumn(0) + 24);
    hide();
}

void PickerBox::resizeEvent(QResizeEvent* event) {
    QComboBox::resizeEvent(event);
    QStyleOptionComboBox opt;
    initStyleOption(&opt);
    QRect button =
        style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxArrow, this);
    button.setLeft(std::max(0, std::min(button.left(), width() - height())));
    setMask(QRegion(button.adjusted(-1, 0, 0, 0)));
}

void PickerBox::keyPressEvent(QKeyEvent* event) { event->ignore(); }

void PickerBox::wheelEvent(QWheelEvent* event) { event->ignore(); }

PickerSet::PickerSet(QWidget* table_one, QWidget* table_four, store::RecordSet& records,
                     FieldLookup lookup)
    : QObject(table_one), records_(records), lookup_(std::move(lookup)) {
    for (Picker picker : store::AllPickers()) {
        auto* box = new PickerBox(picker, picker == Picker::JGCSCD ? table_four : table_one);
        boxes_[picker] = box;
        connect(box, &QComboBox::activated, this,
                [this, picker](int index) { Pick(picker, index); });
    }
}

void PickerSet::ShowFor(QWidget* field, const store::Column& column) {
    PickerBox* box = boxes_.at(column.picker);
    box->setGeometry(field->x(), field->y(), field->width(), field->height());
    box->setCurrentIndex(-1);
    HideAll();
    box->show();
    box->raise();
}

void PickerSet::HideAll() {
    for (Picker picker : store::AllPickers()) boxes_.at(picker)->hide();
}

std::string PickerSet::TargetColumn(Picker picker) const {
    if (!store::IsSharedPicker(picker)) return OwnColumn(picker);
    if (row_ < 1 || row_ > 3) return {};
    for (const SharedTargets& s : kShared)
        if (s.picker == picker) return s.rows[row_ - 1];
    return {};
}

void PickerSet::Pick(Picker picker, int index) {
    PickerBox* box = boxes_.at(picker);
    const auto items = store::PickerItems(picker);
    const std::string target = TargetColumn(picker);
    if (!target.empty() && index >= 0 && index < static_cast<int>(items.size())) {
        if (QWidget* field = lookup_(target)) field->setFocus(Qt::OtherFocusReason);
        try {
            records_.SetValue(target, store::PickedValue(picker, items[index]));
            if (picker == Picker::JB83 && base::NumericValue(records_.Value("JB81")) == 2)
                records_.SetValue("JB83", "");
        } catch (const base::Failure&) {
            // No record is current: there is nothing to write the pick into.
        }
    }
    box->setCurrentIndex(-1);
    box->hide();
}

}  // namespace zorbix::screen
