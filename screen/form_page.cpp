#include "screen/form_page.h"

#include <QLabel>

#include "forms/page_layout.h"
#include "screen/captions.h"
#include "screen/control_names.h"
#include "screen/field_edit.h"
#include "screen/twips.h"

namespace zorbix::screen {
namespace {

using forms::CaptionPlace;
using forms::FieldPlace;
using forms::kPageButtonTop;
using forms::LayoutOf;
using forms::NotePlace;
using forms::NoteStyle;
using forms::PageLayout;
using forms::TwipBox;
using store::Page;

QRect ToRect(const TwipBox& b) { return TwipRect(b.left, b.top, b.width, b.height); }

QString Q(const std::string& s) { return QString::fromStdString(s); }

// The suffix of the page buttons' names: "Cover" or the table's digit.
QString ButtonSuffix(Page page) {
    switch (page) {
        case Page::TableOne: return "1";
        case Page::TableTwo: return "2";
        case Page::TableThree: return "3";
        case Page::TableFour: return "4";
        default: return "Cover";
    }
}

QFont Sized(QFont f, int pixels, bool bold) {
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

// The largest type up to `pixels` whose lines all fit into `height`.
QFont FittingFont(QFont f, int pixels, const QString& text, int height) {
    const int lines = static_cast<int>(text.count(u'\n')) + 1;
    for (f.setPixelSize(pixels); pixels > 8; f.setPixelSize(--pixels))
        if (QFontMetrics(f).lineSpacing() * lines <= height - 4) break;
    return f;
}

QWidget* MakeNote(const NotePlace& note, QWidget* parent) {
    const QString text = Q(note.text);
    if (note.style == NoteStyle::Side) return new VerticalCaption(text, parent);
    auto* label = new QLabel(text, parent);
    switch (note.style) {
        case NoteStyle::Title:
            label->setFont(Sized(label->font(), 29, true));
            label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
            break;
        case NoteStyle::Heading:
            label->setFont(Sized(label->font(), 12, true));
            label->setAlignment(Qt::AlignCenter);
            break;
        case NoteStyle::Balance:
            // 10.5 point, smaller only where the CJK face's tall lines would
            // not all fit into the note.
            label->setFont(FittingFont(label->font(), 14,
                                       text.endsWith(u'\n') ? text.chopped(1) : text,
                                       Px(note.box.height)));
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            label->setAutoFillBackground(true);
            label->setStyleSheet(
                "background: white; border: 1px solid #9aa7b4; padding-left: 2px;");
            break;
        default: break;
    }
    return label;
}

}  // namespace

QString FrameName(Page page) {
    const QString suffix = ButtonSuffix(page);
    return suffix == "Cover" ? QStringLiteral("FrameCover") : "Frame" + suffix;
}

FormPage::FormPage(Page page, QWidget* parent)
    : QGroupBox(QString::fromUtf8(store::PageCaption(page)), parent), page_(page) {
    setObjectName(FrameName(page));
    setAutoFillBackground(true);
    BuildNotes();
    BuildFields();
    BuildButtons();
}

void FormPage::BuildNotes() {
    for (const NotePlace& note : LayoutOf(page_).notes) {
        QWidget* w = MakeNote(note, this);
        w->setObjectName(Q(note.name));
        w->setGeometry(ToRect(note.box));
    }
}

void FormPage::BuildFields() {
    const PageLayout layout = LayoutOf(page_);
    for (const CaptionPlace& place : layout.captions) {
        const store::Column& column = store::ColumnNamed(place.column);
        auto* label = new CaptionLabel(QString(column.indent, u' ') + Q(column.caption), this);
        label->setObjectName("Label" + Q(column.name));
        label->setGeometry(ToRect(place.box));
        label->setWordWrap(place.wrap);
        // A wrapped caption stands in a narrow box: smaller type fits it whole.
        if (place.wrap) label->setFont(Sized(label->font(), 10, false));
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        if (place.bold) label->setFont(Sized(label->font(), 12, true));
        // One caption names every field of the page that carries its text.
        for (const store::Column* c : store::PageColumns(page_))
            if (c->caption == column.caption) captions_[c->name] = label;
    }
    QWidget* previous = nullptr;
    for (const FieldPlace& place : layout.fields) {
        const store::Column& column = store::ColumnNamed(place.column);
        QWidget* field = column.kind == store::Kind::MultiLineText
                             ? static_cast<QWidget*>(new ResultsEdit(column, this))
                             : new FieldEdit(column, column.max_bytes, column.keys, this);
        field->setObjectName(Q(column.field));
        field->setGeometry(ToRect(place.box));
        if (previous) setTabOrder(previous, field);
        previous = field;
        fields_.push_back(field);
        by_column_[column.name] = field;
    }
}

void FormPage::BuildButtons() {
    const QString suffix = ButtonSuffix(page_);
    auto make = [this](const QString& caption, const QString& name, int left) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(name);
        b->setGeometry(TwipRect(left, kPageButtonTop, 975, 375));
        return b;
    };
    previous_ = make(page_ == Page::TableThree ? "上一页 " : "上一页",
                     control::kPagePreviousStem + suffix, 3240);
    next_ = make("下一页", control::kPageNextStem + suffix, 4560);
    close_ = make("关  闭", control::kPageCloseStem + suffix, 5880);
}

QWidget* FormPage::Field(const std::string& column) const {
    const auto it = by_column_.find(column);
    return it == by_column_.end() ? nullptr : it->second;
}

CaptionLabel* FormPage::CaptionOf(const std::string& column) const {
    const auto it = captions_.find(column);
    return it == captions_.end() ? nullptr : it->second;
}

}  // namespace zorbix::screen
