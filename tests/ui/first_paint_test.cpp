// What the main window leaves until after its first picture: the drop-down parts of its lists
// of values. They are missing before it and set up for long lists after it.
#include <QAbstractItemView>
#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QListView>
#include <QTest>

#include "tests/ui/window_fixture.h"

namespace orvu::test {
namespace {

TEST_F(WindowTest, ValueListsGetTheirDropDownsAfterTheFirstPaint) {
  AddScenario(lan, DemoScenario());
  Start();  // the first controller read and its editor filled, all before any paint
  ASSERT_GT(ui->RygielCb->count(), 0);
  const std::vector<QComboBox*> lists = {
      ui->RygielCb, ui->OpenDetectCb, ui->RdCb[0], ui->RdCb[1], ui->RdCb[2],
      ui->RdCb[3],  ui->AlarmCb,      ui->RemindCb, ui->CctvCb, ui->Alarm1Cb,
      ui->OutBtnCb, ui->Alarm0Cb,     ui->ReplCb};
  for (QComboBox* list : lists) {
    if (list == ui->ReplCb) continue;  // its own style, set at once, builds its drop-down
    SCOPED_TRACE(list->objectName().toStdString());
    EXPECT_EQ(list->findChild<QAbstractItemView*>(), nullptr);
  }

  win->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(win.get()));
  QElapsedTimer waited;
  waited.start();
  while (!ui->RygielCb->findChild<QAbstractItemView*>() && waited.elapsed() < 5000)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  for (QComboBox* list : lists) {
    SCOPED_TRACE(list->objectName().toStdString());
    // Never sized to its contents, and its items all of one height: a long list stays quick.
    EXPECT_EQ(list->sizeAdjustPolicy(), QComboBox::AdjustToMinimumContentsLengthWithIcon);
    auto* view = qobject_cast<QListView*>(list->view());
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->uniformItemSizes());
  }
  EXPECT_TRUE(errors.empty());
}

}  // namespace
}  // namespace orvu::test
