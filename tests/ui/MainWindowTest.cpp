// The whole window, offscreen: views bound to models, driven through their widgets.
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

#include <atomic>
#include <thread>


#include <QCheckBox>
#include <QDialogButtonBox>
#include <QScrollArea>
#include <QScrollBar>
#include <QStackedWidget>
#include <QMessageBox>
#include <QSplitter>
#include <QTableWidget>

#include "base/Cp1251.h"
#include "base/IniFile.h"
#include "link/Clock.h"
#include "ui/Binder.h"
#include "ui/CompareWindow.h"
#include "ui/MainWindow.h"
#include "ui/PortList.h"
#include "ui/Translation.h"

using namespace zorvan;

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase();
  void connectThroughTheDialogsAndExit();
  void standardDialogsSpeakRussian();
  void treeAndSplitterComeBackExactlyAsSaved();
  void ctrlXExitsFromATextField();
  void closingWithAWorkersQuestionOpenEndsPromptly();
  void closingDuringAPostedMessageBoxEndsPromptly();
  void virtualPanelAnswersAModemCall();
  void startsWithTheTreeAndRestoresPlacement();
  void generalSettingsPageWritesAndReadsThroughItsWidgets();
  void typedListNumbersStayAsTyped();
  void everyLeaveOfADailyListRunsItsRule();
  void logFollowsNewLinesAfterALongLine();
  void engineerNumbersTakeTheWindowColourWhenEnabled();
  void firstStartOffersTheVirtualPanel();
  void pagesFitTheDefaultWindow();
  void portDetailsNameTheAdapter();
  void compareWithAFileListsTheDifferenceAndOpensItsPage();
};

static QString StatusText(QMainWindow& w, int panel) {
  auto* label = w.statusBar()->findChild<QLabel*>(QString("StatusPanel%1").arg(panel));
  return label ? label->text() : QString();
}

void MainWindowTest::initTestCase() { QVERIFY(InstallRussianTranslation(*qApp)); }

void MainWindowTest::connectThroughTheDialogsAndExit() {
  QTemporaryDir dir;
  const std::string folder = dir.path().toStdString() + "/";
  {
    MainWindow window(folder);
    window.show();
    auto* connect = window.findChild<QToolButton*>("tbtnConnect");
    auto* read = window.findChild<QToolButton*>("tbtnRead");
    QVERIFY(connect && read);
    QVERIFY(connect->isEnabled());
    QVERIFY(!read->isEnabled());
    QString splashText;
    // The connection dialog: pick the built-in virtual panel and confirm.
    QTimer::singleShot(100, [&] {
      QDialog* dialog = window.ConnectDialogView();
      QVERIFY(dialog->isVisible());
      auto* ports = dialog->findChild<QComboBox*>("ComPorts");
      QCOMPARE(ports->itemText(0), MainWindow::VirtualPanelPort());
      ports->setCurrentIndex(0);
      emit ports->activated(0);
      ports->setEditText(MainWindow::VirtualPanelPort());
      QTest::mouseClick(dialog->findChild<QPushButton*>("OKBtn"), Qt::LeftButton);
    });
    QTest::mouseClick(connect, Qt::LeftButton);
    // The progress dialog closed itself on success.
    splashText = window.SplashView()->findChild<QLabel*>("Panel2")->text();
    QCOMPARE(splashText, QString::fromUtf8("СОЕДИНЕНИЕ УСТАНОВЛЕНО"));
    QVERIFY(!window.SplashView()->isVisible());
    QVERIFY(!connect->isEnabled());
    QVERIFY(read->isEnabled());
    QVERIFY(window.findChild<QToolButton*>("tbtnDisconnect")->isEnabled());
    QCOMPARE(StatusText(window, 0), MainWindow::VirtualPanelPort());
    QTRY_COMPARE(StatusText(window, 2), QString("09.005.012"));
    QTRY_VERIFY(window.findChild<QPlainTextEdit*>("Memo1")->toPlainText().contains("+sp"));

    // Ctrl+Alt+T opens the terminal window.
    QTest::keyClick(&window, Qt::Key_T, Qt::ControlModifier | Qt::AltModifier);
    QVERIFY(window.TerminalView()->isVisible());
    QCOMPARE(window.TerminalView()->findChild<QLineEdit*>("Edit1")->text(), QString("+v"));

    // Exit while connected: the panel is restarted before the port closes.
    window.close();
    QVERIFY(window.findChild<QPlainTextEdit*>("Memo1")->toPlainText().contains("com<-+rb"));
  }
  TIniFile saved;
  QVERIFY(saved.LoadFromFile(folder + "current.ini"));
  QCOMPARE(QString::fromStdString(saved.ReadString("Connect", "MasterKey", "")), QString("5281"));
  QVERIFY(saved.ValueExists("Debug", "Log"));
  // The list entry, not the temporary device behind it, which is gone at the next start.
  QCOMPARE(ToQt(saved.ReadString("Connect", "ComPort", "")), MainWindow::VirtualPanelPort());
}

void MainWindowTest::standardDialogsSpeakRussian() {
  QMessageBox box(QMessageBox::Question, "", "", QMessageBox::Yes | QMessageBox::Cancel);
  QCOMPARE(box.button(QMessageBox::Cancel)->text(), QString::fromUtf8("Отмена"));
  QCOMPARE(box.button(QMessageBox::Yes)->text().remove('&'), QString::fromUtf8("Да"));
  QFileDialog dialog(nullptr, QString(), QString(), QString::fromUtf8("Файл настроек (*.ini)"));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  auto* buttons = dialog.findChild<QDialogButtonBox*>();
  QVERIFY(buttons);
  QCOMPARE(buttons->button(QDialogButtonBox::Open)->text().remove('&'), QString::fromUtf8("Открыть"));
  QCOMPARE(buttons->button(QDialogButtonBox::Cancel)->text().remove('&'), QString::fromUtf8("Отмена"));
}

void MainWindowTest::treeAndSplitterComeBackExactlyAsSaved() {
  QTemporaryDir dir;
  const std::string folder = dir.path().toStdString() + "/";
  TIniFile placement;
  placement.WriteInteger("Form1", "xForm.Left", 20);
  placement.WriteInteger("Form1", "xForm.Top", 20);
  placement.WriteInteger("Form1", "xForm.Width", 1000);
  placement.WriteInteger("Form1", "xForm.Height", 700);
  placement.WriteInteger("Form1", "tv1.Width", 237);
  placement.WriteInteger("Form1", "tv1.Height", 401);
  QVERIFY(placement.SaveToFile(folder + "windows.ini"));
  // Several starts in a row: nothing may creep.
  for (int start = 0; start < 3; ++start) {
    MainWindow window(folder);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.findChild<QTreeWidget*>("tv1")->width(), 237);
    QCOMPARE(window.findChild<QTreeWidget*>("tv1")->height(), 401);
    window.close();
    TIniFile saved;
    QVERIFY(saved.LoadFromFile(folder + "windows.ini"));
    QCOMPARE(saved.ReadInteger("Form1", "tv1.Width", 0), 237);
    QCOMPARE(saved.ReadInteger("Form1", "tv1.Height", 0), 401);
  }
}

void MainWindowTest::ctrlXExitsFromATextField() {
  QTemporaryDir dir;
  MainWindow window(dir.path().toStdString() + "/");
  window.show();
  QVERIFY(QTest::qWaitForWindowExposed(&window));
  window.activateWindow();
  auto* object = window.findChild<QLineEdit*>("etO");
  QVERIFY(object && object->isVisible());
  object->setFocus();
  QTRY_VERIFY(object->hasFocus());
  QTest::keyClick(object, Qt::Key_X, Qt::ControlModifier);
  QTRY_VERIFY(!window.isVisible());
}

// Closes the window as soon as a modal box is open; returns when the window has gone.
static qint64 CloseUnderTheBox(MainWindow& window) {
  QElapsedTimer closing;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (QApplication::activeModalWidget() && !closing.isValid()) {
      closing.start();
      window.close();
    }
  });
  poll.start(20);
  if (!QTest::qWaitFor([&] { return !window.isVisible(); }, 5000)) return -1;
  return closing.elapsed();
}

void MainWindowTest::closingWithAWorkersQuestionOpenEndsPromptly() {
  QTemporaryDir dir;
  MainWindow window(dir.path().toStdString() + "/");
  window.show();
  std::atomic<int> answer{-1};
  std::thread worker([&] {
    answer = static_cast<int>(window.Shell().Ask({TQuestionKind::YesNo, W("Коды"), W("Записать коды?")}));
  });
  const qint64 took = CloseUnderTheBox(window);
  worker.join();
  QVERIFY(took >= 0);
  QVERIFY2(took < 1000, qPrintable(QString::number(took)));
  QCOMPARE(answer.load(), static_cast<int>(TAnswer::NotAsked));
  QVERIFY(!QApplication::activeModalWidget());
}

void MainWindowTest::closingDuringAPostedMessageBoxEndsPromptly() {
  QTemporaryDir dir;
  MainWindow window(dir.path().toStdString() + "/");
  window.show();
  window.Shell().Out().PostMessageBox(W("Чтение всех параметров завершено!"));
  const qint64 took = CloseUnderTheBox(window);
  QVERIFY(took >= 0);
  QVERIFY2(took < 1000, qPrintable(QString::number(took)));
  QVERIFY(!QApplication::activeModalWidget());
}

void MainWindowTest::virtualPanelAnswersAModemCall() {
  TScopedTimeScale fast(0.1);
  QTemporaryDir dir;
  MainWindow window(dir.path().toStdString() + "/");
  window.show();
  QTimer::singleShot(100, [&] {
    QDialog* dialog = window.ConnectDialogView();
    auto* ports = dialog->findChild<QComboBox*>("ComPorts");
    ports->setCurrentIndex(0);
    emit ports->activated(0);
    auto* type = dialog->findChild<QComboBox*>("ConnectTypeCombo");
    type->setCurrentIndex(2);
    emit type->activated(2);
    dialog->findChild<QComboBox*>("Phones")->setEditText("8 900 123-45-67");
    QTest::mouseClick(dialog->findChild<QPushButton*>("OKBtn"), Qt::LeftButton);
  });
  QTest::mouseClick(window.findChild<QToolButton*>("tbtnConnect"), Qt::LeftButton);
  QCOMPARE(window.SplashView()->findChild<QLabel*>("Panel2")->text(), QString::fromUtf8("СОЕДИНЕНИЕ УСТАНОВЛЕНО"));
  QVERIFY(window.findChild<QToolButton*>("tbtnRead")->isEnabled());
  QVERIFY(window.findChild<QPlainTextEdit*>("Memo1")->toPlainText().contains("ATD 89001234567"));
  window.close();
}

void MainWindowTest::startsWithTheTreeAndRestoresPlacement() {
  QTemporaryDir dir;
  const std::string folder = dir.path().toStdString() + "/";
  TIniFile placement;
  placement.WriteInteger("Form1", "xForm.Left", 33);
  placement.WriteInteger("Form1", "xForm.Top", 44);
  placement.WriteInteger("Form1", "xForm.Width", 900);
  placement.WriteInteger("Form1", "xForm.Height", 650);
  QVERIFY(placement.SaveToFile(folder + "windows.ini"));
  MainWindow window(folder);
  auto* tree = window.findChild<QTreeWidget*>("tv1");
  QCOMPARE(tree->topLevelItemCount(), 14);
  QCOMPARE(tree->topLevelItem(13)->text(0), QString::fromUtf8("История"));
  QCOMPARE(window.geometry().width(), 900);
  QCOMPARE(window.geometry().height(), 650);
  QCOMPARE(window.geometry().left(), 33);
  QVERIFY(!window.findChild<QAction*>("mnuUpdate")->isVisible());
  // Picking a node shows its page.
  tree->setCurrentItem(tree->topLevelItem(5));
  QVERIFY(window.Shell().Device().CurrentPage() == TPageId::Shleif);
}

// Connects to the built-in virtual panel through the dialogs.
static bool ConnectToVirtualPanel(MainWindow& window) {
  QTimer::singleShot(100, [&] {
    QDialog* dialog = window.ConnectDialogView();
    auto* ports = dialog->findChild<QComboBox*>("ComPorts");
    ports->setCurrentIndex(0);
    emit ports->activated(0);
    ports->setEditText(MainWindow::VirtualPanelPort());
    QTest::mouseClick(dialog->findChild<QPushButton*>("OKBtn"), Qt::LeftButton);
  });
  QTest::mouseClick(window.findChild<QToolButton*>("tbtnConnect"), Qt::LeftButton);
  return window.findChild<QToolButton*>("tbtnRead")->isEnabled();
}

void MainWindowTest::generalSettingsPageWritesAndReadsThroughItsWidgets() {
  QTemporaryDir dir;
  MainWindow window(dir.path().toStdString() + "/");
  window.resize(1000, 700);
  window.show();
  QVERIFY(ConnectToVirtualPanel(window));
  auto* object = window.findChild<QLineEdit*>("etO");
  auto* code = window.findChild<QLineEdit*>("etKey");
  auto* sim1 = window.findChild<QProgressBar*>("GSMSig");
  QVERIFY(object && code && sim1);
  QVERIFY(object->isVisible());
  // The key filters: hexadecimal digits in upper case for the object number, digits for the code.
  object->clear();
  QTest::keyClicks(object, "g7");
  QCOMPARE(object->text(), QString("7"));
  QTest::keyClicks(code, "x");
  QCOMPARE(code->text(), QString("5281"));
  QTest::mouseClick(window.findChild<QToolButton*>("tbtnWrite"), Qt::LeftButton);
  QTRY_COMPARE_WITH_TIMEOUT(object->text(), QString("0007"), 10000);
  auto* status = window.findChild<QLabel*>("lbO");
  QTRY_COMPARE_WITH_TIMEOUT(status->palette().color(QPalette::WindowText), QColor(0, 0, 255), 10000);
  QTRY_VERIFY_WITH_TIMEOUT(window.findChild<QToolButton*>("tbtnRead")->isEnabled(), 10000);
  QTest::mouseClick(window.findChild<QToolButton*>("tbtnRead"), Qt::LeftButton);
  QTRY_COMPARE_WITH_TIMEOUT(object->text(), QString("0007"), 10000);
  QTRY_COMPARE_WITH_TIMEOUT(code->text(), QString("5281"), 10000);
  QTRY_COMPARE_WITH_TIMEOUT(sim1->value(), 18, 10000);
  QCOMPARE(sim1->palette().color(QPalette::Highlight), QColor(0, 0, 255));
  // The gauge shows its level as a number as well.
  QVERIFY(sim1->isTextVisible());
  QCOMPARE(sim1->text(), QString("18"));
  QVERIFY(window.findChild<QLabel*>("URLLabel6")->text().contains("<a"));
  QVERIFY(!window.findChild<QLabel*>("URLLabel5")->text().contains("<a"));
  if (qEnvironmentVariableIsSet("ZORVAN_SHOT_DIR"))
    window.grab().save(qEnvironmentVariable("ZORVAN_SHOT_DIR") + "/common-after-read.png");
  window.close();
}

// Shows the page of a tree node, as a click on it does.
static void SelectPage(MainWindow& window, const char* caption) {
  auto* tree = window.findChild<QTreeWidget*>("tv1");
  const auto found = tree->findItems(QString::fromUtf8(caption), Qt::MatchExactly);
  QVERIFY(!found.isEmpty());
  tree->setCurrentItem(found.first());
}

// Types into a list as a user does: the old text selected, the new one typed, Tab.
static void TypeIntoList(QComboBox* box, const char* text) {
  box->setFocus(Qt::MouseFocusReason);
  QTRY_VERIFY(box->hasFocus());
  box->lineEdit()->selectAll();
  for (const QChar c : QString::fromUtf8(text)) QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, c, Qt::NoModifier);
  QTest::keyClick(box, Qt::Key_Tab);
}

static QString LogText(MainWindow& window) { return window.findChild<QPlainTextEdit*>("Memo1")->toPlainText(); }

// How often the log shows a command sent to the panel.
static int TimesSent(MainWindow& window, const char* command) {
  const QRegularExpression sent("-> com: " + QRegularExpression::escape(QString::fromUtf8(command)) + "$",
                                QRegularExpression::MultilineOption);
  return static_cast<int>(LogText(window).count(sent));
}

// Writes the current page and waits for the write to end.
static void WritePage(MainWindow& window) {
  auto* write = window.findChild<QToolButton*>("tbtnWrite");
  const auto sent = LogText(window).count("-> com: ");
  QTest::mouseClick(write, Qt::LeftButton);
  QTRY_VERIFY_WITH_TIMEOUT(LogText(window).count("-> com: ") > sent && write->isEnabled(), 10000);
}

// The lists keep the number typed (no completion from their items); the siren time's rule
// limits it, and the periodic test's limit is applied by the write.
void MainWindowTest::typedListNumbersStayAsTyped() {
  QTemporaryDir dir;
  MainWindow window(dir.path().toStdString() + "/");
  window.show();
  QVERIFY(ConnectToVirtualPanel(window));
  QApplication::setActiveWindow(&window);
  QVERIFY(QTest::qWaitForWindowActive(&window));
  struct Case {
    const char* page;
    const char* list;
    const char* typed;
    const char* shown;    // after leaving the list
    const char* written;  // shown after the write
    const char* sent;
  };
  const Case cases[] = {
      {"Выходы", "SyrenTimeComboBox", "2", "2", "2", "+y=02"},
      {"Выходы", "SyrenTimeComboBox", "300", "255", "255", "+y=FF"},
      {"Выходы", "SyrenTimeComboBox", "abc", "1", "1", "+y=01"},
      {"Выходы", "SyrenTimeComboBox", "6", "6", "6", "+y=06"},
      {"Системные события", "ExATCombo", "300", "300", "255", "+AA=FF"},
      {"Системные события", "ExATCombo", "2", "2", "2", "+AA=02"},
      // Letters do not reach the list: it keeps what it had.
      {"Системные события", "ExATCombo", "abc", "2", "2", "+AA=02"},
      {"Системные события", "ExATCombo", "1", "1", "1", "+AA=01"},
  };
  for (const Case& c : cases) {
    SelectPage(window, c.page);
    auto* box = window.findChild<QComboBox*>(c.list);
    QVERIFY(box && box->isVisible());
    TypeIntoList(box, c.typed);
    QCOMPARE(box->currentText(), QString::fromUtf8(c.shown));
    QCOMPARE(box->count(), c.list == std::string("ExATCombo") ? 5 : 4);  // nothing added to the items
    const int before = TimesSent(window, c.sent);
    WritePage(window);
    QTRY_COMPARE(TimesSent(window, c.sent), before + 1);
    QCOMPARE(box->currentText(), QString::fromUtf8(c.written));
  }
  window.close();
}

// Answers every message box that opens, keeping its text.
class TMessageBoxAnswerer : public QObject {
 public:
  TMessageBoxAnswerer() {
    connect(&timer_, &QTimer::timeout, this, [this] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box || !box->isVisible()) return;
      texts.push_back(box->text());
      box->accept();
    });
    timer_.start(20);
  }
  QStringList texts;

 private:
  QTimer timer_;
};

// A refused daily time keeps the list; the next wrong entry is refused again, and the next
// right one is taken.
void MainWindowTest::everyLeaveOfADailyListRunsItsRule() {
  QTemporaryDir dir;
  MainWindow window(dir.path().toStdString() + "/");
  window.show();
  QApplication::setActiveWindow(&window);
  QVERIFY(QTest::qWaitForWindowActive(&window));
  SelectPage(window, "Системные события");
  auto* first = window.findChild<QComboBox*>("AT1Combo");
  QVERIFY(first && first->isVisible());
  TMessageBoxAnswerer answerer;
  const QString refusal = QString::fromUtf8("Введенное значение не является временем.");
  struct Step {
    const char* typed;
    int refusals;       // message boxes so far
    const char* shown;  // the list afterwards
  };
  const Step steps[] = {{"8.15", 1, "8.15"}, {"7.00", 2, "7.00"}, {"да", 2, "08:00"},
                        {"25:00", 3, "25:00"}, {"08.15", 3, "08:15"}};
  for (const Step& step : steps) {
    TypeIntoList(first, step.typed);
    QTRY_COMPARE(answerer.texts.size(), step.refusals);
    QTest::qWait(50);
    QCOMPARE(answerer.texts.size(), step.refusals);
    for (const QString& text : answerer.texts) QCOMPARE(text, refusal);
    QCOMPARE(first->currentText(), QString::fromUtf8(step.shown));
    // A refused entry keeps the focus; a taken one lets it go on.
    QTRY_COMPARE(first->hasFocus(), step.shown == std::string(step.typed));
  }
  window.close();
}

void MainWindowTest::logFollowsNewLinesAfterALongLine() {
  QTemporaryDir dir;
  MainWindow window(dir.path().toStdString() + "/");
  window.show();
  QVERIFY(QTest::qWaitForWindowExposed(&window));
  auto* memo = window.findChild<QPlainTextEdit*>("Memo1");
  QScrollBar* bar = memo->verticalScrollBar();
  TControl& log = window.Shell().Main()["Memo1"];
  // The last line of the log is in view.
  auto lastLineShown = [memo] {
    const QPoint bottom(2, memo->viewport()->height() - 2);
    return memo->cursorForPosition(bottom).blockNumber() >= memo->document()->blockCount() - 2;
  };
  auto append = [&log](int count, const char* text) {
    for (int i = 0; i < count; ++i) log.AppendLine(text + std::to_string(i));
    QApplication::processEvents();
  };
  append(40, "-> com: +v ");
  QVERIFY(lastLineShown());
  // Block writes of a firmware file: lines wider than the log.
  append(3, (std::string("-> com: +W") + std::string(400, 'A') + " ").c_str());
  QTRY_VERIFY(memo->horizontalScrollBar()->isVisible());
  append(30, "<- com:  OK ");
  QVERIFY(lastLineShown());
  QCOMPARE(bar->value(), bar->maximum());
  // Scrolled up to read: new lines leave the view where it is.
  bar->setValue(10);
  append(20, "-> com: +AQ ");
  QCOMPARE(bar->value(), 10);
  // Back at the end, it follows again.
  bar->setValue(bar->maximum());
  append(20, "-> com: +AZ ");
  QVERIFY(lastLineShown());
  window.close();
}

void MainWindowTest::engineerNumbersTakeTheWindowColourWhenEnabled() {
  QTemporaryDir dir;
  MainWindow window(dir.path().toStdString() + "/");
  window.show();
  SelectPage(window, "Инженерные номера");
  auto* any = window.findChild<QCheckBox*>("cbEnNumber");
  auto* number = window.findChild<QLineEdit*>("etN3");
  QVERIFY(any && number && number->isVisible());
  const QColor field = QApplication::palette(number).color(QPalette::Base);
  const QColor button = QApplication::palette(number).color(QPalette::Button);
  QVERIFY(field != button);
  for (int click = 0; click < 4; ++click) {
    any->click();
    QCOMPARE(number->isEnabled(), !any->isChecked());
    QCOMPARE(number->palette().color(QPalette::Base), any->isChecked() ? button : field);
  }
  window.close();
}

// Nothing chosen yet: the virtual panel, first in the list, whatever serial ports exist.
void MainWindowTest::firstStartOffersTheVirtualPanel() {
  QTemporaryDir dir;
  MainWindow window(dir.path().toStdString() + "/");
  window.show();
  QString offered;
  int entries = 0;
  QTimer::singleShot(100, [&] {
    QDialog* dialog = window.ConnectDialogView();
    auto* ports = dialog->findChild<QComboBox*>("ComPorts");
    offered = ports->currentText();
    entries = ports->count();
    QTest::mouseClick(dialog->findChild<QPushButton*>("CancelBtn"), Qt::LeftButton);
  });
  QTest::mouseClick(window.findChild<QToolButton*>("tbtnConnect"), Qt::LeftButton);
  QCOMPARE(offered, MainWindow::VirtualPanelPort());
  QVERIFY(entries >= 1);
  window.close();
}

// At the window's first size every built page shows whole, without scrolling.
void MainWindowTest::pagesFitTheDefaultWindow() {
  QTemporaryDir dir;
  MainWindow window(dir.path().toStdString() + "/");
  window.show();
  QVERIFY(QTest::qWaitForWindowExposed(&window));
  for (const char* page : {"Общие настройки", "Системные события", "Настройки GPRS", "Выходы", "Инженерные номера"}) {
    SelectPage(window, page);
    QApplication::processEvents();
    auto* scroll = qobject_cast<QScrollArea*>(
        window.findChild<QStackedWidget*>("pageArea")->currentWidget());
    QVERIFY(scroll);
    QTRY_VERIFY2(!scroll->horizontalScrollBar()->isVisible() && !scroll->verticalScrollBar()->isVisible(), page);
    if (qEnvironmentVariableIsSet("ZORVAN_SHOT_DIR"))
      window.grab().save(qEnvironmentVariable("ZORVAN_SHOT_DIR") + "/page-" + scroll->widget()->objectName() + ".png");
  }
  window.close();
}

void MainWindowTest::portDetailsNameTheAdapter() {
  struct Case {
    const char *description, *manufacturer, *serial, *expected;
  };
  const Case cases[] = {
      {"FT232R USB UART", "FTDI", "A10K3B2C", "FT232R USB UART (FTDI), серийный номер A10K3B2C"},
      {"Prolific USB-Serial Controller", "Prolific Technology Inc.", "", "Prolific USB-Serial Controller"},
      {"", "", "0001", "серийный номер 0001"},
      {"", "QinHeng Electronics", "", "QinHeng Electronics"},
      {" ", "", "", ""},
  };
  for (const Case& c : cases)
    QCOMPARE(PortDetailText(QString::fromUtf8(c.description), QString::fromUtf8(c.manufacturer),
                            QString::fromUtf8(c.serial)),
             QString::fromUtf8(c.expected));
}

void MainWindowTest::compareWithAFileListsTheDifferenceAndOpensItsPage() {
  QTemporaryDir dir;
  const std::string file = dir.path().toStdString() + "/site.ini";
  TIniFile ini;
  ini.WriteString("formCommon", "etO", "0049");
  ini.WriteString("formOuts", "SyrenTimeComboBoxText", "30");
  QVERIFY(ini.SaveToFile(file));
  MainWindow window(dir.path().toStdString() + "/");
  window.resize(1000, 700);
  window.show();
  auto* compare = window.findChild<QAction*>("mnuCompare");
  QVERIFY(compare && !compare->isEnabled());  // only while connected
  QVERIFY(ConnectToVirtualPanel(window));
  QVERIFY(compare->isEnabled());
  auto* object = window.findChild<QLineEdit*>("etO");
  object->setText("1234");  // the window's own edits are not what is compared
  window.Compare().autoFile = file;
  compare->trigger();
  QTRY_VERIFY_WITH_TIMEOUT(window.Compare().View()->isVisible(), 20000);
  QTableWidget* table = window.Compare().Table();
  QCOMPARE(table->rowCount(), 1);
  const QStringList expected = {"Общие настройки", "Номер объекта", "0049", "0050"};
  for (int column = 0; column < 4; ++column) QCOMPARE(table->item(0, column)->text(), expected[column]);
  window.Shell().ShowPage(TPageId::Outs);
  emit table->cellActivated(0, 1);
  QVERIFY(window.Shell().Device().CurrentPage() == TPageId::Common);
  QCOMPARE(object->text(), QString("0050"));
  window.close();
}

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
