// The project list grid over a few thousand projects: every record a row,
// every column headed by its name, rows read lazily, selecting a row makes
// it current, adding and deleting reach the grid.
#include <QHeaderView>
#include <QScrollBar>
#include <QTableView>

#include "screen/list_page.h"
#include "screen/project_table_model.h"
#include "window_fixture.h"

using namespace zorbix;
using namespace zorbix::testing;
using screen::PageId;

class GridTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void ShowsEveryRecordAndColumn();
    void ReadsOnlyTheRowsItShows();
    void SelectingARowMakesItCurrent();
    void FollowsTheCurrentRecord();
    void AddingAndDeletingReachTheGrid();
    void NeverBuildsAWidgetPerCell();

private:
    std::unique_ptr<WindowFixture> f_;
    QTableView* grid_ = nullptr;
};

void GridTest::initTestCase() {
    f_ = std::make_unique<WindowFixture>(3000);
    f_->window->ShowPage(PageId::List);
    WindowFixture::Settle();
    grid_ = f_->Find<QTableView>("DataGridzorbix");
}

void GridTest::cleanupTestCase() { f_.reset(); }

void GridTest::ShowsEveryRecordAndColumn() {
    auto* model = grid_->model();
    QCOMPARE(model->rowCount(), 3000);
    // Number and name first, then unit, findings and last change, then the rest.
    QCOMPARE(model->columnCount(), 140);
    const QStringList added = {"承担单位", "审核问题", "最后修改"};
    for (int c = 0; c < 140; ++c) {
        const int table_column = c < 3 ? c : c < 6 ? -1 : c - 3;
        QCOMPARE(model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString(),
                 table_column < 0 ? added[c - 3] : Q(store::Columns()[table_column].name));
    }
    QCOMPARE(model->index(2999, 1).data().toString(), Q(f_->records().ReadRow(3000)[1]));
    QCOMPARE(model->index(2999, 3).data().toString(),
             Q(f_->records().ReadRow(3000)[store::ColumnIndex("XMCDDW")]));
    QCOMPARE(model->index(2999, 4).data().toString(), QString());  // before any check
}

void GridTest::ReadsOnlyTheRowsItShows() {
    auto* model = f_->window->list_page()->model();
    grid_->verticalScrollBar()->setValue(grid_->verticalScrollBar()->maximum() / 2);
    grid_->viewport()->repaint();
    QVERIFY2(model->rows_read() < 500, qPrintable(QString::number(model->rows_read())));
}

void GridTest::SelectingARowMakesItCurrent() {
    grid_->selectRow(1234);
    QCOMPARE(f_->records().Position(), 1235);
    WindowFixture::Settle();
    QCOMPARE(f_->Field("TextItemNo")->text(), Q(f_->records().ReadRow(1235)[1]));
}

void GridTest::FollowsTheCurrentRecord() {
    f_->records().MoveTo(2500);
    WindowFixture::Settle();
    QCOMPARE(grid_->currentIndex().row(), 2499);
    QCOMPARE(f_->records().Position(), 2500);
}

void GridTest::AddingAndDeletingReachTheGrid() {
    f_->records().AddNew();
    WindowFixture::Settle();
    QCOMPARE(grid_->model()->rowCount(), 3001);
    f_->prompter.answer_ok = true;
    f_->Click("CommandDeleteItem");
    WindowFixture::Settle();
    QCOMPARE(grid_->model()->rowCount(), 3000);
    QCOMPARE(f_->records().Count(), 3000);
}

void GridTest::NeverBuildsAWidgetPerCell() {
    const int before = static_cast<int>(grid_->findChildren<QWidget*>().size());
    for (int step = 0; step <= 10; ++step) {
        grid_->verticalScrollBar()->setValue(grid_->verticalScrollBar()->maximum() * step / 10);
        grid_->viewport()->repaint();
    }
    QCOMPARE(static_cast<int>(grid_->findChildren<QWidget*>().size()), before);
}

ZORBIX_SCREEN_TEST_MAIN(GridTest)
#include "grid_test.moc"
