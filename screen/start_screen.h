// The start screen: the background picture and the column of ten command
// buttons with their icons. Without the summary template in the program
// directory the summary and reconciliation commands are hidden and "结  束"
// moves up into their place.
#pragma once

#include <QLabel>
#include <QPushButton>
#include <QWidget>
#include <filesystem>

namespace zorbix::screen {

// The template whose presence shows the summary and reconciliation commands.
inline constexpr const char* kSummaryTemplate = "人才培养情况.xlsx";

class BackgroundPicture : public QWidget {
public:
    explicit BackgroundPicture(QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
};

class StartScreen : public QObject {
public:
    // Builds the picture and the buttons as children of `area`.
    explicit StartScreen(QWidget* area);

    BackgroundPicture* background() const { return background_; }
    QPushButton* Button(const char* name) const;

    // Hides "汇  总" and "未报项目核对" with their icons, and moves "结  束"
    // up, when the summary template does not exist in `directory`.
    void CheckSummaryTemplates(const std::filesystem::path& directory);

private:
    QWidget* area_;
    BackgroundPicture* background_;
};

}  // namespace zorbix::screen
