#include "screen/title_strip.h"

#include <QHBoxLayout>

#include "base/error.h"
#include "screen/artwork.h"
#include "screen/control_names.h"
#include "screen/field_edit.h"
#include "screen/text_limit_validator.h"
#include "screen/twips.h"
#include "store/catalogue.h"
#include "store/store_operations.h"
#include "store/titles.h"

namespace zorbix::screen {
namespace {

using store::RecordSet;

constexpr char kChooseProjectHint[] = "请先在项目清单中选择或添加一个项目";
// The navigator's four arrows are this wide, so its caption keeps the rest
// of the frame and "0000/0000" shows whole.
constexpr int kNavigatorButtonWidth = 18;

// The navigator's four moves. Next and previous stop at the ends, as the
// navigator's buttons always did; an empty store has nothing to move to.
void First(RecordSet& r) { r.MoveFirst(); }
void Last(RecordSet& r) { r.MoveLast(); }
void Previous(RecordSet& r) {
    if (r.Position() <= 1) return r.MoveFirst();
    r.MovePrevious();
}
void Next(RecordSet& r) {
    if (r.Position() >= r.Count()) return r.MoveLast();
    r.MoveNext();
}

QLabel* Caption(const QString& text, const char* name, QRect geometry, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setGeometry(geometry);
    return label;
}

}  // namespace

TitleStrip::TitleStrip(RecordSet& records, base::Prompter& prompter, QWidget* parent)
    : QWidget(parent), records_(records), prompter_(prompter) {
    setObjectName("TitleStrip");
    BuildNavigator()->setGeometry(TwipRect(120, 90, 2295, 375));
    Caption("当前编辑项目", "LabelEditItem", TwipRect(2640, 180, 1095, 255), this);
    item_number_ = new FieldEdit(store::ColumnNamed("JB02"), 20, store::KeyClass::None, this);
    item_number_->setObjectName("TextItemNo");
    item_number_->setGeometry(TwipRect(3720, 120, 1575, 270));
    item_name_ = new FieldEdit(store::ColumnNamed("JB01"), 80, store::KeyClass::None, this);
    item_name_->setObjectName("TextItemName");
    item_name_->setGeometry(TwipRect(5280, 120, 4335, 270));
    Caption("定位(项目号)", "LabelQuery", TwipRect(9960, 180, 1095, 255), this);
    query_ = new QLineEdit(this);
    query_->setObjectName("TextQuery");
    query_->setValidator(new TextLimitValidator(20, false, query_));
    query_->setGeometry(TwipRect(11040, 120, 2175, 270));
    auto* locate = new QToolButton(this);
    locate->setObjectName(control::kLocate);
    locate->setIcon(QIcon(Icon(Artwork::Query, 18, devicePixelRatioF())));
    locate->setIconSize(QSize(18, 18));
    locate->setGeometry(TwipRect(13200, 80, 375, 375));
    locate->setToolTip("定位");
    connect(query_, &QLineEdit::returnPressed, this, &TitleStrip::Locate);
    connect(locate, &QToolButton::clicked, this, &TitleStrip::Locate);
}

QWidget* TitleStrip::BuildNavigator() {
    auto* frame = new QFrame(this);
    frame->setObjectName("Adodc2xxx");
    frame->setFrameShape(QFrame::StyledPanel);
    auto* row = new QHBoxLayout(frame);
    row->setContentsMargins(1, 1, 1, 1);
    row->setSpacing(0);
    auto button = [this, frame](Artwork art, const char* name, void (*step)(RecordSet&)) {
        auto* b = new QToolButton(frame);
        b->setObjectName(name);
        b->setIcon(QIcon(Icon(art, 14, devicePixelRatioF())));
        b->setAutoRaise(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->setFixedWidth(kNavigatorButtonWidth);
        connect(b, &QToolButton::clicked, this, [this, step] { Navigate(step); });
        return b;
    };
    position_ = new QLabel(QString::fromUtf8(store::kNoPositionCaption), frame);
    position_->setObjectName("NavigatorCaption");
    position_->setAlignment(Qt::AlignCenter);
    position_->setMinimumWidth(position_->fontMetrics().horizontalAdvance(position_->text()) + 4);
    row->addWidget(button(Artwork::First, "NavigatorFirst", First));
    row->addWidget(button(Artwork::Previous, "NavigatorPrevious", Previous));
    row->addWidget(position_, 1);
    row->addWidget(button(Artwork::Next, "NavigatorNext", Next));
    row->addWidget(button(Artwork::Last, "NavigatorLast", Last));
    return frame;
}

void TitleStrip::Navigate(void (*step)(RecordSet&)) {
    if (records_.Count() == 0) return;
    try {
        step(records_);
    } catch (const base::Failure& e) {
        base::Inform(prompter_, store::kProgramTitle, e.what());
    }
}

void TitleStrip::Locate() {
    store::LocateProject(records_, prompter_, query_->text().toStdString());
}

void TitleStrip::ShowRecordPosition() {
    const std::string caption = store::PositionCaption(records_, position_->text().toStdString());
    position_->setText(QString::fromStdString(caption));
    item_name_->setPlaceholderText(records_.HasCurrent() ? QString() : kChooseProjectHint);
}

}  // namespace zorbix::screen
