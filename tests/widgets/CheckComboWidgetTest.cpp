// The checked combo box clicked like a user would: pop-up, checks, shown line, hint.
#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalSpy>
#include <QToolButton>
#include <QtTest>

#include "base/Cp1251.h"
#include "widgets/CheckCombo.h"

using zorvan::TCheckedComboBox;
using zorvan::W;

class CheckComboWidgetTest : public QObject {
  Q_OBJECT

 private:
  // Set up as the keyboard page does.
  static void SetUpPartitions(TCheckedComboBox& c) {
    auto& m = c.Model();
    m.SetEmptyValue(W("<нет>"));
    m.SetCapSelectAll(W("&Выделить все"));
    m.SetCapDeSelectAll(W("&Отменить все"));
    m.SetItems({"1", "2", "3", "4", "5", "6"});
    c.move(40, 40);
    c.resize(145, 24);
  }
  static void ClickItem(TCheckedComboBox& c, int row) {
    QListWidget* list = c.List();
    const QRect r = list->visualItemRect(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
  }

 private slots:
  void CheckingThreeThenOneShowsCheckOrderOrListOrder() {
    TCheckedComboBox c;
    SetUpPartitions(c);
    c.show();
    QVERIFY(QTest::qWaitForWindowExposed(&c));
    QCOMPARE(c.Field()->text(), QString("<нет>"));
    QSignalSpy changed(&c, &TCheckedComboBox::changed);

    QTest::mouseClick(c.Button(), Qt::LeftButton);
    QVERIFY(c.PopupOpen());
    ClickItem(c, 2);
    ClickItem(c, 0);
    QCOMPARE(c.Field()->text(), QString("3,1"));
    QCOMPARE(c.List()->item(2)->checkState(), Qt::Checked);
    QCOMPARE(c.toolTip(), QString("1\n3"));
    QCOMPARE(changed.count(), 2);

    c.Model().SetSortDisplay(true);
    QCOMPARE(c.Field()->text(), QString("1,3"));
    ClickItem(c, 2);  // a second click takes the check away
    QCOMPARE(c.Field()->text(), QString("1"));
  }

  void AllCheckedGivesTheHintAndNewItemsClearTheChecks() {
    TCheckedComboBox c;
    SetUpPartitions(c);
    c.show();
    QVERIFY(QTest::qWaitForWindowExposed(&c));
    c.OpenPopup();
    for (int row = 0; row < 6; ++row) ClickItem(c, row);
    QCOMPARE(c.toolTip(), QString("Выбрано все"));
    QCOMPARE(c.Field()->text(), QString("1,2,3,4,5,6"));

    c.Model().SetItems({"1", "2", "5"});
    QCOMPARE(c.List()->count(), 3);
    for (int row = 0; row < 3; ++row) QCOMPARE(c.List()->item(row)->checkState(), Qt::Unchecked);
    QCOMPARE(c.Field()->text(), QString("<нет>"));
    QCOMPARE(c.toolTip(), QString());
  }

  void ContextMenuCommandsCheckAndClearEverything() {
    TCheckedComboBox c;
    SetUpPartitions(c);
    c.show();
    QVERIFY(QTest::qWaitForWindowExposed(&c));
    c.OpenPopup();
    ClickItem(c, 4);
    c.SelectAllAction()->trigger();
    QCOMPARE(c.Field()->text(), QString("1,2,3,4,5,6"));
    QCOMPARE(c.List()->item(0)->checkState(), Qt::Checked);
    c.DeSelectAllAction()->trigger();
    QCOMPARE(c.Field()->text(), QString("<нет>"));
    QCOMPARE(c.List()->item(4)->checkState(), Qt::Unchecked);
  }

  void PopupOpensUnderTheControlAndClosesOnEscapeOrTheButton() {
    TCheckedComboBox c;
    SetUpPartitions(c);
    c.show();
    QVERIFY(QTest::qWaitForWindowExposed(&c));
    QSignalSpy closedUp(&c, &TCheckedComboBox::closedUp);

    QTest::mouseClick(c.Button(), Qt::LeftButton);
    QVERIFY(c.PopupOpen());
    const QRect popup = c.Popup()->geometry();
    const QPoint origin = c.mapToGlobal(QPoint(0, 0));
    QCOMPARE(popup.topLeft(), origin + QPoint(0, c.height()));
    QCOMPARE(popup.width(), c.width());
    QCOMPARE(popup.height(), c.List()->sizeHintForRow(0) * 6 + 4);

    QTest::keyClick(c.List(), Qt::Key_Escape);
    QVERIFY(!c.PopupOpen());
    QCOMPARE(closedUp.count(), 1);

    QTest::mouseClick(c.Button(), Qt::LeftButton);
    QVERIFY(c.PopupOpen());
    QTest::mouseClick(c.Button(), Qt::LeftButton);  // only closes
    QVERIFY(!c.PopupOpen());
    QCOMPARE(closedUp.count(), 2);
  }

  void APopupThatWouldReachTheScreenBottomOpensAbove() {
    TCheckedComboBox c;
    SetUpPartitions(c);
    c.show();
    QVERIFY(QTest::qWaitForWindowExposed(&c));
    const QRect screen = c.screen()->availableGeometry();
    c.move(c.pos() + QPoint(0, screen.bottom() - 30 - c.mapToGlobal(QPoint(0, 0)).y()));
    c.OpenPopup();
    QVERIFY(c.PopupOpen());
    QCOMPARE(c.Popup()->geometry().bottom() + 1, c.mapToGlobal(QPoint(0, 0)).y());
  }

  void ARefusedCheckStaysUncheckedAndSaysWhy() {
    TCheckedComboBox c;
    c.SetShowMessages(false);
    c.Model().SetItems({std::string(65533, 'a'), "xy"});
    c.show();
    QVERIFY(QTest::qWaitForWindowExposed(&c));
    QSignalSpy message(&c, &TCheckedComboBox::message);
    c.OpenPopup();
    ClickItem(c, 0);
    ClickItem(c, 1);
    QCOMPARE(message.count(), 1);
    QCOMPARE(message.at(0).at(0).toString(), QString("There is no room for Selected"));
    QCOMPARE(c.List()->item(1)->checkState(), Qt::Unchecked);
    QVERIFY(!c.Model().Checked(1));
  }

  void FieldColourFollowsFocusAndDisablingReachesTheParts() {
    QWidget window;
    auto* c = new TCheckedComboBox(&window);
    auto* other = new QLineEdit(&window);
    other->move(0, 40);
    c->SetNotFocusColor(QColor(200, 220, 240));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.activateWindow();
    other->setFocus();
    QTRY_VERIFY(other->hasFocus());
    QSignalSpy entered(c, &TCheckedComboBox::entered);
    QSignalSpy exited(c, &TCheckedComboBox::exited);
    QCOMPARE(c->Field()->palette().color(QPalette::Base), QColor(200, 220, 240));
    c->Field()->setFocus();
    QTRY_COMPARE(entered.count(), 1);
    QCOMPARE(c->Field()->palette().color(QPalette::Base), QColor(Qt::white));
    other->setFocus();
    QTRY_COMPARE(exited.count(), 1);
    QCOMPARE(c->Field()->palette().color(QPalette::Base), QColor(200, 220, 240));

    c->setEnabled(false);
    QVERIFY(!c->Field()->isEnabled());
    QVERIFY(!c->Button()->isEnabled());
    c->OpenPopup();
    QVERIFY(!c->PopupOpen());
  }
};

QTEST_MAIN(CheckComboWidgetTest)
#include "CheckComboWidgetTest.moc"
