// Widgets mirror their model controls, and user edits reach the model and its handlers.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QGroupBox>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTreeWidget>
#include <QSpinBox>
#include <QTableWidget>
#include <QtTest>

#include "base/Cp1251.h"
#include "ui/Binder.h"
#include "widgets/Trislider.h"

using namespace zorvan;
using K = TControlKind;

class BinderTest : public QObject {
  Q_OBJECT

 private slots:
  void modelToWidgetsAndBack();
  void leavingAControlRunsItsExitRule();
  void radioGroupsStayExclusiveWhoeverChecks();
  void radioGroupShowsItsItemsAsButtons();
  void linkedSlidersSettleAfterOneDrag();
  void listRowsAndSelectionFollowTheModel();
  void gridRowsAndSelectionFollowTheModel();
  void memoLinesFollowTheUsersTyping();
  void comboItemsShowTheirIcons();
  void backspaceReachesTheKeyFilter();
  void columnWidthsFollowTheModelAndTheUser();
  void aControlEnabledAgainDrawsItsTextAsEnabled();
};

// Disabled while an operation runs and enabled again, a tree and a label show their text in
// the enabled colour, not the grey they had while disabled.
void BinderTest::aControlEnabledAgainDrawsItsTextAsEnabled() {
  TForm form("formTest");
  auto& tree = form.Add("tv1", K::TreeView);
  auto& label = form.Add("lbStatus", K::Label);
  QWidget root;
  auto* treeView = new QTreeWidget(&root);
  treeView->setObjectName("tv1");
  auto* labelView = new QLabel(&root);
  labelView->setObjectName("lbStatus");
  BindForm(&root, form);
  const QColor enabledText = QApplication::palette(treeView).color(QPalette::Active, QPalette::Text);
  QVERIFY(enabledText != QApplication::palette(treeView).color(QPalette::Disabled, QPalette::Text));
  for (TControl* c : {&tree, &label}) {
    c->SetEnabled(false);
    c->SetFontColor("clRed");  // any repaint while disabled
    c->SetFontColor("clWindowText");
    c->SetEnabled(true);
  }
  QCOMPARE(treeView->palette().color(QPalette::Active, QPalette::Text), enabledText);
  QCOMPARE(labelView->palette().color(QPalette::Active, QPalette::WindowText),
           QApplication::palette(labelView).color(QPalette::Active, QPalette::WindowText));
}

void BinderTest::modelToWidgetsAndBack() {
  TForm form("formTest");
  auto& edit = form.Add("etO", K::Edit);
  auto& check = form.Add("cbFlag", K::CheckBox);
  auto& spin = form.Add("seCount", K::SpinEdit);
  auto& combo = form.Add("cbList", K::ComboBox);
  auto& label = form.Add("lbStatus", K::Label);
  auto& grid = form.Add("sgGrid", K::StringGrid);
  auto& gauge = form.Add("pbLevel", K::Gauge);
  QWidget root;
  for (auto* w : std::initializer_list<QWidget*>{new QLineEdit(&root), new QCheckBox(&root), new QSpinBox(&root),
                                                 new QComboBox(&root), new QLabel(&root), new QTableWidget(&root),
                                                 new QProgressBar(&root)})
    (void)w;
  const char* names[] = {"etO", "cbFlag", "seCount", "cbList", "lbStatus", "sgGrid", "pbLevel"};
  int i = 0;
  for (QObject* child : root.children()) child->setObjectName(names[i++]);
  edit.SetText(W("Объект"));
  combo.SetItems({"10", "20"});
  combo.SetItemIndex(1);
  BindForm(&root, form);

  auto* lineEdit = root.findChild<QLineEdit*>("etO");
  QCOMPARE(lineEdit->text(), QString::fromUtf8("Объект"));
  QCOMPARE(root.findChild<QComboBox*>("cbList")->currentText(), QString("20"));
  int changes = 0;
  edit.OnChange([&](TControl&) { ++changes; });
  lineEdit->selectAll();
  QTest::keyClicks(lineEdit, "A7");
  QCOMPARE(edit.Text(), std::string("A7"));
  QVERIFY(changes >= 1);

  root.findChild<QCheckBox*>("cbFlag")->click();
  QVERIFY(check.Checked());
  spin.SetText("42");
  QCOMPARE(root.findChild<QSpinBox*>("seCount")->value(), 42);
  root.findChild<QSpinBox*>("seCount")->setValue(7);
  QCOMPARE(spin.Text(), std::string("7"));

  label.SetFontColor("clRed");
  QCOMPARE(root.findChild<QLabel*>("lbStatus")->palette().color(QPalette::WindowText), QColor(255, 0, 0));
  label.SetEnabled(false);
  QVERIFY(!root.findChild<QLabel*>("lbStatus")->isEnabled());
  grid.SetCell(2, 1, "x");
  QCOMPARE(root.findChild<QTableWidget*>("sgGrid")->item(1, 2)->text(), QString("x"));
  gauge.SetPosition(17);
  gauge.SetBackColor("clBlue");
  QCOMPARE(root.findChild<QProgressBar*>("pbLevel")->value(), 17);
  QCOMPARE(root.findChild<QProgressBar*>("pbLevel")->palette().color(QPalette::Highlight), QColor(0, 0, 255));
}

// A refused entry keeps the focus; an accepted one lets it go; the list's own drop-down is
// not a leave.
void BinderTest::leavingAControlRunsItsExitRule() {
  TForm form("formTest");
  auto& list = form.Add("cbTime", K::ComboBox);
  form.Add("etOther", K::Edit);
  std::vector<std::string> exits;
  list.onExit = [&](TControl& c) {
    exits.push_back(c.Text());
    return c.Text() == "08:00";
  };
  QWidget root;
  auto* box = new QComboBox(&root);
  box->setObjectName("cbTime");
  box->setEditable(true);
  auto* other = new QLineEdit(&root);
  other->setObjectName("etOther");
  other->move(0, 40);
  list.SetItems({"08:00"});
  BindForm(&root, form);
  root.show();
  QApplication::setActiveWindow(&root);
  QVERIFY(QTest::qWaitForWindowActive(&root));

  box->setFocus(Qt::TabFocusReason);
  QTRY_VERIFY(box->hasFocus());
  box->setEditText("8.15");
  other->setFocus(Qt::TabFocusReason);
  QTRY_COMPARE(exits.size(), std::size_t{1});
  QCOMPARE(exits[0], std::string("8.15"));
  QTRY_VERIFY(box->hasFocus());
  QTest::qWait(20);
  QCOMPARE(exits.size(), std::size_t{1});  // giving the focus back is not another leave

  box->setEditText("08:00");
  other->setFocus(Qt::TabFocusReason);
  QTRY_COMPARE(exits.size(), std::size_t{2});
  QTest::qWait(20);
  QVERIFY(other->hasFocus());

  box->setFocus(Qt::TabFocusReason);
  QTRY_VERIFY(box->hasFocus());
  box->showPopup();
  QTest::qWait(20);
  box->hidePopup();
  QTest::qWait(20);
  QCOMPARE(exits.size(), std::size_t{2});
}

// Two groups of radio buttons on one panel: the model's groups decide, not the buttons' parent.
void BinderTest::radioGroupsStayExclusiveWhoeverChecks() {
  TForm form("formTest");
  const char* names[] = {"rzt0", "rzt1", "rbAnd", "rbOr"};
  for (const char* name : names) {
    auto& rb = form.Add(name, K::RadioButton);
    form.JoinRadioGroup(rb, rb.Name().starts_with("rzt") ? "loopType" : "connector");
  }
  QWidget root;
  for (const char* name : names) (new QRadioButton(&root))->setObjectName(name);
  form["rzt0"].SetChecked(true);
  form["rbOr"].SetChecked(true);
  BindForm(&root, form);
  int clicks = 0, changes = 0;
  form["rzt0"].onClick = [&](TControl&) { ++clicks; };
  form["rzt0"].OnChange([&](TControl&) { ++changes; });
  auto button = [&](const char* name) { return root.findChild<QRadioButton*>(name); };
  auto shown = [&] {
    QString s;
    for (const char* name : names) s += button(name)->isChecked() ? "1" : "0";
    return s;
  };
  QCOMPARE(shown(), QString("1001"));

  button("rzt1")->click();  // the user
  QVERIFY(form["rzt1"].Checked() && !form["rzt0"].Checked() && form["rbOr"].Checked());
  QCOMPARE(shown(), QString("0101"));
  QCOMPARE(changes, 1);
  form["rzt0"].SetChecked(true);  // code (a posted value, a loaded file)
  QCOMPARE(shown(), QString("1001"));
  QCOMPARE(changes, 2);
  button("rzt0")->click();  // the checked one again: stays checked, but it is a click
  QCOMPARE(shown(), QString("1001"));
  QVERIFY(form["rzt0"].Checked());
  QCOMPARE(changes, 2);
  QCOMPARE(clicks, 1);
  button("rbAnd")->click();
  QCOMPARE(shown(), QString("1010"));
}

void BinderTest::radioGroupShowsItsItemsAsButtons() {
  TForm form("formTest");
  auto& group = form.Add("rgMode", K::RadioGroup);
  group.SetText(W("Режим"));
  group.SetItems({W("Выкл"), W("Вкл")});
  std::vector<int> chosen;
  group.OnChange([&](TControl& c) { chosen.push_back(c.ItemIndex()); });
  QWidget root;
  auto* box = new QGroupBox(&root);
  box->setObjectName("rgMode");
  BindForm(&root, form);
  QCOMPARE(box->title(), QString::fromUtf8("Режим"));
  const auto buttons = box->findChildren<QRadioButton*>();
  QCOMPARE(buttons.size(), 2);
  QCOMPARE(buttons[1]->text(), QString::fromUtf8("Вкл"));
  QVERIFY(!buttons[0]->isChecked() && !buttons[1]->isChecked());
  buttons[1]->click();
  QCOMPARE(group.ItemIndex(), 1);
  QCOMPARE(chosen, std::vector<int>{1});
  group.SetItemIndex(0);
  QVERIFY(buttons[0]->isChecked() && !buttons[1]->isChecked());
  group.SetItemIndex(-1);
  QVERIFY(!buttons[0]->isChecked() && !buttons[1]->isChecked());
  QCOMPARE(chosen, std::vector<int>{1});  // only the user's choice is a change
  QVERIFY(ViewMismatches(&root, form).empty());
}

// The two threshold views of a loop: a drag of one sets the other's thumbs by code, and that
// must not run the other's handlers (which would set the first again, for ever, since the
// paint spreads the equal thumbs of the five-thumb view apart).
void BinderTest::linkedSlidersSettleAfterOneDrag() {
  TForm form("formTest");
  auto& security = form.Add("tsn1", K::Slider);
  auto& fire = form.Add("ts2n1", K::Slider);
  int securityRuns = 0, fireRuns = 0;
  security.OnChange([&](TControl& t) {
    ++securityRuns;
    const auto& v = t.Thumbs();
    fire.SetThumbs({v[0], v[1], v[2], v[4]});
  });
  fire.OnChange([&](TControl& f) {
    ++fireRuns;
    const auto& v = f.Thumbs();
    security.SetThumbs({v[0], v[1], v[2], v[2], v[3]});
  });
  QWidget root;
  for (const char* name : {"tsn1", "ts2n1"}) {
    auto* s = new TTrislider(&root);
    s->setObjectName(name);
    s->resize(414, 60);
    s->Model().SetMax(770);
    QVERIFY(s->SetInset(17));
    s->Model().SetThumbWidth(8);
  }
  security.SetThumbs({0, 228, 371, 487, 759});
  fire.SetThumbs({0, 228, 371, 759});
  BindForm(&root, form);
  auto* fireView = root.findChild<TTrislider*>("ts2n1");
  auto* securityView = root.findChild<TTrislider*>("tsn1");
  root.show();
  QVERIFY(QTest::qWaitForWindowExposed(&root));
  QCOMPARE(fireView->Model().Thumbs(), (std::vector<int>{0, 228, 371, 759}));

  // Thumb 1 of the fire view sits at picture x 129 (control x 130).
  QTest::mousePress(fireView, Qt::LeftButton, {}, {130, 31});
  QTest::mouseMove(fireView, {150, 31});
  QTest::mouseMove(fireView, {150, 31});  // no movement: no change
  QTest::mouseMove(fireView, {170, 31});
  QTest::mouseRelease(fireView, Qt::LeftButton, {}, {170, 31});
  QCOMPARE(fireRuns, 2);
  QCOMPARE(securityRuns, 0);
  for (int tick = 0; tick < 3; ++tick) {
    securityView->RepaintTick();
    fireView->RepaintTick();
  }
  QCOMPARE(fireRuns, 2);
  QCOMPARE(securityRuns, 0);
  const std::vector<int> dragged = fire.Thumbs();
  QVERIFY(dragged[1] > 228);
  // The security view shows the fire view's thumbs, its equal pair spread apart by the paint,
  // and its control follows that quietly.
  const std::vector<int> shown = securityView->Model().Thumbs();
  QCOMPARE(shown[1], dragged[1]);
  QCOMPARE(shown[3] - shown[2], 16);
  QCOMPARE(security.Thumbs(), shown);

  // Positions set by code, the live marker included, reach the widget and run nothing.
  security.SetThumb(4, 700);
  security.SetPosition(300);
  QCOMPARE(securityView->Model().Thumb(4), 700);
  QCOMPARE(securityView->Model().LiveValue(), 300);
  QCOMPARE(securityRuns, 0);
}

void BinderTest::listRowsAndSelectionFollowTheModel() {
  TForm form("formTest");
  auto& list = form.Add("lv1", K::ListView);
  std::vector<int> selected;
  list.OnChange([&](TControl& c) { selected.push_back(c.SelectedRow()); });
  QWidget root;
  auto* view = new QTreeWidget(&root);
  view->setObjectName("lv1");
  view->setColumnCount(3);
  list.AddRow({"1", W("Тревога"), "text 1"});
  BindForm(&root, form);
  for (const char* n : {"2", "3"}) list.AddRow({n, W("Норма"), std::string("text ") + n});
  QCOMPARE(view->topLevelItemCount(), 3);
  QCOMPARE(view->topLevelItem(0)->text(1), QString::fromUtf8("Тревога"));

  list.SetRow(1, {"2", W("Норма"), "changed"});
  QCOMPARE(view->topLevelItem(1)->text(2), QString("changed"));
  list.SelectRow(2);  // code
  QCOMPARE(view->currentItem(), view->topLevelItem(2));
  QVERIFY(view->topLevelItem(2)->isSelected());
  list.RemoveRow(0);
  QCOMPARE(view->topLevelItemCount(), 2);
  QCOMPARE(view->topLevelItem(0)->text(2), QString("changed"));
  QCOMPARE(view->currentItem(), view->topLevelItem(1));  // still "3"
  QCOMPARE(view->currentItem()->text(0), QString("3"));

  root.show();
  QVERIFY(QTest::qWaitForWindowExposed(&root));
  const QRect first = view->visualItemRect(view->topLevelItem(0));
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, first.center());  // the user
  QCOMPARE(list.SelectedRow(), 0);
  QCOMPARE(selected, (std::vector<int>{2, 0}));

  list.ClearRows();
  QCOMPARE(view->topLevelItemCount(), 0);
  QCOMPARE(selected.back(), -1);
}

void BinderTest::gridRowsAndSelectionFollowTheModel() {
  TForm form("formTest");
  auto& grid = form.Add("KeyGrid", K::StringGrid);
  std::vector<int> selected;
  grid.OnChange([&](TControl& c) { selected.push_back(c.SelectedRow()); });
  QWidget root;
  auto* table = new QTableWidget(&root);
  table->setObjectName("KeyGrid");
  for (int r = 0; r < 4; ++r) grid.AddRow({std::to_string(300 + r), "code" + std::to_string(r), "1,2"});
  BindForm(&root, form);

  grid.SelectRow(3);
  QCOMPARE(table->currentRow(), 3);
  grid.RemoveRow(1);
  QCOMPARE(table->rowCount(), 3);
  QCOMPARE(table->item(1, 1)->text(), QString("code2"));
  QCOMPARE(table->currentRow(), 2);
  grid.SetRow(2, {"303", "replaced", ""});
  QCOMPARE(table->item(2, 1)->text(), QString("replaced"));
  QCOMPARE(table->item(2, 2)->text(), QString());

  root.show();
  QVERIFY(QTest::qWaitForWindowExposed(&root));
  const QRect cell = table->visualItemRect(table->item(1, 1));
  QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
  QCOMPARE(grid.SelectedRow(), 1);
  QCOMPARE(selected, (std::vector<int>{3, 1}));
  grid.SelectRow(-1);
  QVERIFY(table->selectedItems().isEmpty());
}

void BinderTest::memoLinesFollowTheUsersTyping() {
  TForm form("formTest");
  auto& memo = form.Add("mtext", K::Memo);
  auto& log = form.Add("mLog", K::Memo);
  memo.SetMaxLength(9);
  int changes = 0;
  memo.OnChange([&](TControl&) { ++changes; });
  QWidget root;
  auto* edit = new QPlainTextEdit(&root);
  edit->setObjectName("mtext");
  auto* logView = new QPlainTextEdit(&root);
  logView->setObjectName("mLog");
  logView->setReadOnly(true);
  BindForm(&root, form);

  memo.SetLines({W("Привет")});
  QCOMPARE(edit->toPlainText(), QString::fromUtf8("Привет"));
  edit->moveCursor(QTextCursor::End);
  QTest::keyClicks(edit, "!");
  QCOMPARE(memo.Lines(), std::vector<std::string>{W("Привет!")});
  QTest::keyClick(edit, Qt::Key_Return);
  QTest::keyClicks(edit, "a");
  QCOMPARE(memo.Lines(), (std::vector<std::string>{W("Привет!"), "a"}));
  const int typed = changes;
  QTest::keyClicks(edit, "b");  // past the limit of 9 characters (the line end counts)
  QCOMPARE(memo.Lines(), (std::vector<std::string>{W("Привет!"), "a"}));
  QCOMPARE(edit->toPlainText(), QString::fromUtf8("Привет!\na"));
  QCOMPARE(changes, typed);
  QTest::keyClick(edit, Qt::Key_Backspace);
  QCOMPARE(memo.Lines(), (std::vector<std::string>{W("Привет!"), ""}));
  edit->selectAll();
  QTest::keyClick(edit, Qt::Key_Delete);
  QVERIFY(memo.Lines().empty());

  // Code replaces lines as well as appending them; the log keeps appending.
  memo.SetLines({"one"});
  memo.SetLines({"two"});
  QCOMPARE(edit->toPlainText(), QString("two"));
  for (int i = 0; i < 300; ++i) log.AppendLine("line " + std::to_string(i));
  QCOMPARE(logView->blockCount(), 300);
  QCOMPARE(logView->document()->lastBlock().text(), QString("line 299"));
  log.ClearLines();
  QVERIFY(logView->toPlainText().isEmpty());
}

// Channel types carry icons from the page's image list: item image indexes pick them.
void BinderTest::comboItemsShowTheirIcons() {
  QTemporaryDir dir;
  QVERIFY(dir.isValid());
  const QColor colors[] = {Qt::red, Qt::blue};
  std::vector<std::string> paths;
  for (int i = 0; i < 2; ++i) {
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(colors[i]);
    const QString path = dir.filePath(QString("icon%1.png").arg(i));
    QVERIFY(image.save(path));
    paths.push_back(path.toStdString());
  }
  TForm form("formTest");
  auto& types = form.Add("cb1", K::ComboBoxEx);
  types.SetImageList(paths);
  types.SetListItems({{W("Не используется"), 0, -1}, {"SMS", 31, 1}, {"GSM", 1, 0}, {"?", 2, 7}});
  QWidget root;
  auto* box = new QComboBox(&root);
  box->setObjectName("cb1");
  BindForm(&root, form);
  QCOMPARE(box->count(), 4);
  auto centre = [&](int item) { return box->itemIcon(item).pixmap(16, 16).toImage().pixelColor(8, 8); };
  QVERIFY(box->itemIcon(0).isNull());
  QCOMPARE(centre(1), QColor(Qt::blue));
  QCOMPARE(centre(2), QColor(Qt::red));
  QVERIFY(box->itemIcon(3).isNull());  // an index beyond the list
  // Another image list (or other images) redraws the items.
  types.SetImageList({paths[1], paths[0]});
  QCOMPARE(centre(1), QColor(Qt::red));
  types.SetListItems({{"SMS", 31, 0}});
  QCOMPARE(box->count(), 1);
  QCOMPARE(centre(0), QColor(Qt::blue));
}

namespace {
char NoBackspace(char key) { return key == '\b' ? 0 : key; }
char DigitsAndBackspace(char key) { return key == '\b' || (key >= '0' && key <= '9') ? key : 0; }
}  // namespace

void BinderTest::backspaceReachesTheKeyFilter() {
  TForm form("formTest");
  auto& kept = form.Add("etKept", K::Edit);
  auto& digits = form.Add("etDigits", K::Edit);
  kept.SetKeyFilter(NoBackspace);
  digits.SetKeyFilter(DigitsAndBackspace);
  kept.SetText("123");
  digits.SetText("123");
  QWidget root;
  auto* keptEdit = new QLineEdit(&root);
  keptEdit->setObjectName("etKept");
  auto* digitsEdit = new QLineEdit(&root);
  digitsEdit->setObjectName("etDigits");
  BindForm(&root, form);
  for (QLineEdit* e : {keptEdit, digitsEdit}) {
    e->end(false);
    QTest::keyClick(e, Qt::Key_Backspace);
    QTest::keyClicks(e, "x4");
  }
  QCOMPARE(kept.Text(), std::string("123x4"));
  QCOMPARE(digits.Text(), std::string("124"));
}

// The history grid keeps its widths in the settings file: the model's widths are shown, and
// what the user drags comes back; widths the view fits or stretches itself are not the user's.
void BinderTest::columnWidthsFollowTheModelAndTheUser() {
  TForm form("formTest");
  auto& grid = form.Add("StringGrid1", K::StringGrid);
  auto& list = form.Add("lv1", K::ListView);
  grid.SetColumnWidth(0, 40);
  grid.SetColumnWidth(2, 300);
  grid.AddRow({"a", "b", "c"});
  list.AddRow({"1", "2", "3"});
  QWidget root;
  auto* table = new QTableWidget(&root);
  table->setObjectName("StringGrid1");
  auto* view = new QTreeWidget(&root);
  view->setObjectName("lv1");
  view->setColumnCount(3);
  BindForm(&root, form);
  QHeaderView* header = table->horizontalHeader();
  QCOMPARE(header->sectionSize(0), 40);
  QCOMPARE(header->sectionSize(2), 300);
  header->resizeSection(1, 123);  // the user drags a column border
  QCOMPARE(grid.ColumnWidth(1), 123);
  grid.SetColumnWidth(1, 90);
  QCOMPARE(header->sectionSize(1), 90);
  header->setSectionResizeMode(0, QHeaderView::Fixed);
  header->resizeSection(0, 55);
  QCOMPARE(grid.ColumnWidth(0), 40);

  list.SetColumnWidth(1, 250);
  QCOMPARE(view->header()->sectionSize(1), 250);
  view->header()->resizeSection(0, 70);
  QCOMPARE(list.ColumnWidth(0), 70);
  view->header()->resizeSection(2, 400);  // the stretched last column
  QCOMPARE(list.ColumnWidth(2), 0);
}

QTEST_MAIN(BinderTest)
#include "BinderTest.moc"
