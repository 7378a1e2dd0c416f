// The whole window, offscreen: views bound to models, driven through their widgets.
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

#include <QDialogButtonBox>
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
  void virtualPanelAnswersAModemCall();
  void startsWithTheTreeAndRestoresPlacement();
  void generalSettingsPageWritesAndReadsThroughItsWidgets();
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
