#include "screen/start_screen.h"

#include <QPainter>
#include <array>

#include "screen/artwork.h"
#include "screen/control_names.h"
#include "screen/twips.h"

namespace zorbix::screen {
namespace {

struct Command {
    int top;
    const char* button;
    const char* caption;
    const char* icon;
    Artwork art;
};

constexpr std::array<Command, 10> kCommands = {{
    {1080, control::kStartEditData, "数据录入/修改", "ImageEditData", Artwork::EditData},
    {1680, control::kStartCheck, "数据审核", "ImageCheck", Artwork::Check},
    {2280, control::kStartAppend, "追加数据", "ImageAddData", Artwork::AddData},
    {2880, control::kStartSubmit, "提交数据", "Image1", Artwork::Submit},
    {3480, control::kStartDistribute, "项目下发", "Image3", Artwork::Distribute},
    {4080, control::kStartReports, "报表生成", "Image2", Artwork::Reports},
    {4680, control::kStartDataInit, "数据初始化", "ImageDataInit", Artwork::DataInit},
    {5280, control::kStartSummary, "汇  总", "ImageSum", Artwork::Summary},
    {5880, control::kStartReconcile, "未报项目核对", "Image4", Artwork::Reconcile},
    {6480, control::kStartEnd, "结  束", "ImageEnd", Artwork::End},
}};

constexpr int kButtonLeft = 720, kButtonWidth = 1455, kRowHeight = 375, kIconLeft = 360;

}  // namespace

BackgroundPicture::BackgroundPicture(QWidget* parent) : QWidget(parent) {
    setObjectName("ImageBackground");
}

void BackgroundPicture::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    PaintBackground(painter, rect());
}

StartScreen::StartScreen(QWidget* area)
    : QObject(area), area_(area), background_(new BackgroundPicture(area)) {
    for (const Command& c : kCommands) {
        auto* button = new QPushButton(QString::fromUtf8(c.caption), area);
        button->setObjectName(c.button);
        button->setGeometry(TwipRect(kButtonLeft, c.top, kButtonWidth, kRowHeight));
        auto* icon = new QLabel(area);
        icon->setObjectName(c.icon);
        icon->setPixmap(Icon(c.art, Px(kRowHeight), area->devicePixelRatioF()));
        icon->setGeometry(TwipRect(kIconLeft, c.top, kRowHeight, kRowHeight));
    }
}

QPushButton* StartScreen::Button(const char* name) const {
    return area_->findChild<QPushButton*>(name, Qt::FindDirectChildrenOnly);
}

void StartScreen::CheckSummaryTemplates(const std::filesystem::path& directory) {
    std::error_code error;
    const auto status = std::filesystem::status(directory / kSummaryTemplate, error);
    // Only a file that is not there hides the commands; any other trouble
    // (no permission to look) leaves them for the summary to report.
    if (status.type() != std::filesystem::file_type::not_found) return;
    for (const char* name :
         {control::kStartReconcile, "Image4", control::kStartSummary, "ImageSum"})
        area_->findChild<QWidget*>(name, Qt::FindDirectChildrenOnly)->hide();
    for (const char* name : {control::kStartEnd, "ImageEnd"}) {
        QWidget* w = area_->findChild<QWidget*>(name, Qt::FindDirectChildrenOnly);
        w->move(w->x(), Px(5280));
    }
}

}  // namespace zorbix::screen
