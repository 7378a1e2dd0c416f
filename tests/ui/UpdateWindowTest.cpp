// The firmware update windows in the whole program, offscreen, against the virtual panel's
// boot loader on a fast clock. With ZORVAN_SHOTS set to a folder, the dialogs are saved there.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <algorithm>
#include <fstream>

#include "base/Cp1251.h"
#include "link/Clock.h"
#include "sim/VirtualPanel.h"
#include "ui/MainWindow.h"
#include "ui/UpdateDialogs.h"

using namespace zorvan;

class UpdateWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void updateOfferedAfterConnectingFlashesAndReconnects();
  void aDroppedCallResumesWhenTheUpdateIsStartedAgain();
  void hexFileDialogShowsTheFileAndFlashesIt();
  void aFailureAndAnAbortAfterTheEraseSayTheMemoryIsErased();
  void updateWhileDisconnectedSaysSoBeforeAnyWarning();
};

namespace {

sim::TPanelOptions Offered() {
  sim::TPanelOptions options;
  options.version = "09.005.006";
  options.typepan = "0001";
  options.lineRate = 0;
  return options;
}

void Shot(QWidget* widget, const char* name) {
  const QByteArray folder = qgetenv("ZORVAN_SHOTS");
  if (folder.isEmpty()) return;
  widget->grab().save(QString::fromUtf8(folder) + "/" + name);
}

// Connects through the connection dialog to the given port (a modem call when phone is set).
// With a shot name, the main window is saved as the connection dialog shows.
void ConnectTo(MainWindow& window, const std::string& port, const std::string& phone = {}, const char* shot = nullptr) {
  TConnectDialog& dialog = window.Shell().ConnectDialog();
  dialog.ConnectType().SetItemIndex(phone.empty() ? 0 : 1);
  dialog.ApplyConnectType();
  dialog.Phones().SetText(phone);
  QTimer::singleShot(50, [&window, port, shot] {
    if (shot) Shot(&window, shot);
    QDialog* view = window.ConnectDialogView();
    view->findChild<QComboBox*>("ComPorts")->setEditText(QString::fromStdString(port));
    QTest::mouseClick(view->findChild<QPushButton*>("OKBtn"), Qt::LeftButton);
  });
}

QString Text(QWidget* root, const char* name) { return root->findChild<QLabel*>(name)->text(); }

int Count(const sim::TVirtualPanel& panel, const std::string& prefix) {
  int n = 0;
  for (const auto& line : panel.ReceivedLines()) n += line.rfind(prefix, 0) == 0;
  return n;
}

}  // namespace

void UpdateWindowTest::updateOfferedAfterConnectingFlashesAndReconnects() {
  TScopedTimeScale fast(0.025);
  sim::TVirtualPanel panel(Offered());
  const std::string port = panel.Start();
  QTemporaryDir dir;
  MainWindow window(dir.path().toStdString() + "/");
  window.resize(1000, 700);
  window.show();
  QVERIFY(window.windowTitle().endsWith(" (Update REV 09.005.007)"));
  window.Firmware().autoAnswer = 1;
  ConnectTo(window, port);
  window.Shell().Main()["tbtnConnect"].Click();
  // The update is offered right after the connection.
  QDialog* dialog = window.Firmware().UpdateView();
  QTRY_VERIFY(dialog->isVisible());
  QCOMPARE(dialog->windowTitle(), QString::fromUtf8("Перепрошивка панели"));
  QCOMPARE(Text(dialog, "lbNewName"), QString("REV 09.005.007"));
  QCOMPARE(Text(dialog, "lbOldName"), QString("09.005.006"));
  QVERIFY(!window.isEnabled());
  QVERIFY(!dialog->findChild<QLabel*>("lbTimeAfter")->isVisible());

  QTest::mouseClick(dialog->findChild<QPushButton*>("btnUpdateVer"), Qt::LeftButton);
  auto* bar = dialog->findChild<QProgressBar*>("RzProgressBar1");
  QCOMPARE(bar->maximum(), 1927);
  QTRY_VERIFY_WITH_TIMEOUT(bar->value() > 600, 20000);
  QCOMPARE(Text(dialog, "lbError"), QString::fromUtf8("Идет загрузка новой версии прошивки..."));
  QVERIFY(dialog->findChild<QLabel*>("lbTimeLost")->isVisible());
  QVERIFY(!dialog->findChild<QPushButton*>("btnUpdateVer")->isEnabled());
  Shot(dialog, "update-writing.png");
  QTRY_COMPARE_WITH_TIMEOUT(Text(dialog, "lbError"), QString::fromUtf8("Перепрошивка успешно завершена!"), 30000);
  QCOMPARE(bar->value(), 1927);
  auto* exit = dialog->findChild<QPushButton*>("btnExit");
  QCOMPARE(exit->text(), QString::fromUtf8("Завершить перепрошивку"));
  QVERIFY(!dialog->findChild<QLabel*>("lbNewName")->isVisible());
  QCOMPARE(Text(dialog, "lbOldName"), QString("REV 09.005.007"));
  Shot(dialog, "update-success.png");
  QCOMPARE(Count(panel, "+BE"), 1);
  QCOMPARE(Count(panel, "+W"), 1622);
  // While the dialog waits for its button the panel restarts: nothing polls it (the keep-alive
  // and the signal levels would be due several times over in this wait).
  QTest::qWait(1500);
  QVERIFY(!window.isEnabled());
  {
    const auto lines = panel.ReceivedLines();
    const auto finish = std::find_if(lines.begin(), lines.end(), [](const std::string& l) { return l.rfind("+EE", 0) == 0; });
    QVERIFY(finish != lines.end());
    for (auto it = finish + 1; it != lines.end(); ++it)
      QVERIFY2(it->rfind("+sp", 0) != 0 && it->rfind("+AQ", 0) != 0 && it->rfind("+AZ", 0) != 0, it->c_str());
  }

  // Exit reconnects without the connection dialog; the panel has its new version.
  QTest::mouseClick(exit, Qt::LeftButton);
  QVERIFY(!dialog->isVisible());
  QVERIFY(window.Shell().Connected());
  QCOMPARE(QString::fromStdString(window.Shell().Device().VersionText()), QString("09.005.007"));
  QVERIFY(window.isEnabled());
  QVERIFY(!dialog->isVisible());  // nothing more to offer
  window.close();
}

void UpdateWindowTest::aDroppedCallResumesWhenTheUpdateIsStartedAgain() {
  // Two calls and two flashes: a slower clock keeps their time-outs clear of a busy machine.
  TScopedTimeScale fast(0.05);
  sim::TModemOptions modem;
  modem.enabled = true;
  sim::TVirtualPanel panel(Offered(), modem);
  sim::TBootLoaderOptions drop;
  drop.dropAfterBlocks = 100;
  panel.BootLoader().SetOptions(drop);
  const std::string port = panel.Start();
  QTemporaryDir dir;
  MainWindow window(dir.path().toStdString() + "/");
  window.show();
  window.Firmware().autoAnswer = 1;
  ConnectTo(window, port, "5551234");
  window.Shell().Main()["tbtnConnect"].Click();
  QDialog* dialog = window.Firmware().UpdateView();
  QTRY_VERIFY(dialog->isVisible());
  QTest::mouseClick(dialog->findChild<QPushButton*>("btnUpdateVer"), Qt::LeftButton);
  QTRY_VERIFY_WITH_TIMEOUT(Text(dialog, "lbError").startsWith(QString::fromUtf8("В процессе перепрошивки возникли ошибки!")),
                           40000);
  // The line went, not the panel's will; the memory holds half an image.
  QVERIFY(Text(dialog, "lbError").contains(QString::fromUtf8("связь с панелью потеряна. Память панели стерта")));
  QCOMPARE(window.Shell().Device().FirmwareResume().nextLine, 401);

  // After a failure the exit button asks for the connection again; the update is offered
  // again and continues with block 100 without erasing.
  ConnectTo(window, port, "5551234");
  QTest::mouseClick(dialog->findChild<QPushButton*>("btnExit"), Qt::LeftButton);
  QTRY_VERIFY(dialog->isVisible());
  const auto before = panel.ReceivedLines().size();
  QTest::mouseClick(dialog->findChild<QPushButton*>("btnUpdateVer"), Qt::LeftButton);
  QTRY_COMPARE_WITH_TIMEOUT(Text(dialog, "lbError"), QString::fromUtf8("Перепрошивка успешно завершена!"), 60000);
  const auto lines = panel.ReceivedLines();
  std::vector<std::string> resumed(lines.begin() + static_cast<long>(before), lines.end());
  QVERIFY(resumed.size() > 2);
  QCOMPARE(QString::fromStdString(resumed[0]), QString("+BL"));
  QCOMPARE(QString::fromStdString(resumed[1].substr(0, 7)), QString("+W0190:"));
  QCOMPARE(Count(panel, "+BE"), 1);
  QCOMPARE(panel.BootLoader().Erases(), 1);
  window.Firmware().Update().UpdateDialog()["btnExit"].Click();
  window.close();
}

void UpdateWindowTest::hexFileDialogShowsTheFileAndFlashesIt() {
  TScopedTimeScale fast(0.025);
  sim::TVirtualPanel panel(Offered());
  const std::string port = panel.Start();
  QTemporaryDir dir;
  const std::string folder = dir.path().toStdString() + "/";
  {
    std::ofstream ini(folder + "current.ini", std::ios::binary);
    ini << "[Update]\r\nUpdatePanelVersion=vbnqsu\r\n";
  }
  const std::string hex = folder + "panel.hex";
  {
    std::ofstream file(hex, std::ios::binary);
    // 22 paragraphs: the last block has two rows.
    for (unsigned p = 0; p < 22; ++p) {
      char line[64];
      unsigned sum = 16 + ((p * 16) >> 8) + ((p * 16) & 0xFF);
      std::string data;
      for (unsigned i = 0; i < 16; ++i) {
        const unsigned byte = (p * 16 + i) & 0xFF;
        sum += byte;
        char part[4];
        std::snprintf(part, sizeof part, "%02X", byte);
        data += part;
      }
      std::snprintf(line, sizeof line, ":10%04X00%s%02X\r\n", p * 16, data.c_str(), (0x100 - (sum & 0xFF)) & 0xFF);
      file << line;
    }
    file << ":00000001FF\r\n";
  }
  MainWindow window(folder);
  window.resize(1000, 700);
  window.show();
  window.Firmware().autoAnswer = 0;  // the offer after connecting is declined
  TMainForm& main = window.Shell().Main();
  QVERIFY(main["mnuUpdate"].Visible());
  ConnectTo(window, port);
  main["tbtnConnect"].Click();
  QVERIFY(window.Shell().Connected());

  // A second file typed into the path after browsing the first one.
  const std::string other = folder + "other.hex";
  {
    std::ofstream file(other, std::ios::binary);
    for (unsigned p = 0; p < 8; ++p) {
      char line[64];
      unsigned sum = 16 + p * 16 + 0x5A * 16;
      std::string data;
      for (unsigned i = 0; i < 16; ++i) data += "5A";
      std::snprintf(line, sizeof line, ":10%04X00%s%02X\r\n", p * 16, data.c_str(), (0x100 - (sum & 0xFF)) & 0xFF);
      file << line;
    }
    file << ":00000001FF\r\n";
  }
  window.Firmware().autoHexFile = hex;
  QDialog* fileView = window.Firmware().FileView();
  QTimer::singleShot(50, [&] {
    QCOMPARE(fileView->windowTitle(), QString::fromUtf8("Обновление версии прошивки"));
    auto* grid = fileView->findChild<QTableWidget*>("sgHex");
    QCOMPARE(grid->rowCount(), 8);
    auto* ok = fileView->findChild<QPushButton*>("btnOK");
    QVERIFY(!ok->isEnabled());  // nothing to flash yet
    QTest::mouseClick(fileView->findChild<QToolButton*>("RzBitBtn1"), Qt::LeftButton);
    QVERIFY(ok->isEnabled());
    QCOMPARE(fileView->findChild<QLineEdit*>("etPath")->text(), QString::fromStdString(hex));
    QCOMPARE(grid->rowCount(), 22);
    QCOMPARE(grid->item(21, 0)->text(), QString("0015"));
    QCOMPARE(grid->item(1, 16)->text(), QString("1F"));
    QCOMPARE(grid->horizontalHeaderItem(16)->text(), QString("0F"));
    fileView->resize(760, 420);
    Shot(fileView, "hex-dialog.png");
    auto* path = fileView->findChild<QLineEdit*>("etPath");
    path->selectAll();
    QTest::keyClicks(path, QString::fromStdString(other));
    QTest::mouseClick(ok, Qt::LeftButton);
    // The dialog comes back with the typed file's table before anything is sent.
    QTimer::singleShot(50, [&, grid] {
      QVERIFY(fileView->isVisible());
      QCOMPARE(grid->rowCount(), 8);
      QCOMPARE(grid->item(0, 1)->text(), QString("5A"));
      QVERIFY(panel.ReceivedLines().size() > 0 && Count(panel, "+W") == 0);
      QTest::mouseClick(fileView->findChild<QPushButton*>("btnOK"), Qt::LeftButton);
    });
  });
  main["mnuUpdate"].Click();
  auto* bar = window.statusBar()->findChild<QProgressBar*>("RzProgressBar1");
  QVERIFY(bar && bar->isVisible());
  QCOMPARE(window.Firmware().infos.size(), 1u);
  QVERIFY(QString::fromStdString(Cp1251ToUtf8(window.Firmware().infos[0])).contains("прочитан заново"));
  QCOMPARE(bar->maximum(), 2 + 103);
  QVERIFY(!window.isEnabled());
  QTRY_VERIFY_WITH_TIMEOUT(window.isEnabled(), 20000);
  QCOMPARE(bar->value(), 105);
  QCOMPARE(Count(panel, "+W"), 2);
  QCOMPARE(Count(panel, "+EE"), 1);
  // The file update logs its exchange: the typed file's bytes went out.
  QVERIFY(window.findChild<QPlainTextEdit*>("Memo1")->toPlainText().contains("-> com: +W0004:5A5A"));
  window.close();
}

void UpdateWindowTest::aFailureAndAnAbortAfterTheEraseSayTheMemoryIsErased() {
  TScopedTimeScale fast(0.025);
  sim::TVirtualPanel panel(Offered());
  sim::TBootLoaderOptions refuse;
  refuse.refuseBlock = "0010";
  panel.BootLoader().SetOptions(refuse);
  const std::string port = panel.Start();
  QTemporaryDir dir;
  MainWindow window(dir.path().toStdString() + "/");
  window.resize(1000, 700);
  window.show();
  window.Firmware().autoAnswer = 1;
  ConnectTo(window, port);
  window.Shell().Main()["tbtnConnect"].Click();
  QDialog* dialog = window.Firmware().UpdateView();
  QTRY_VERIFY(dialog->isVisible());
  auto* start = dialog->findChild<QPushButton*>("btnUpdateVer");
  auto* exit = dialog->findChild<QPushButton*>("btnExit");
  auto* memo = window.findChild<QPlainTextEdit*>("Memo1");
  const QString erased = QString::fromUtf8(
      "Память панели стерта: панель не будет работать, пока прошивка не будет обновлена. Запустите перепрошивку еще "
      "раз.");

  // A block refused after the erase.
  QTest::mouseClick(start, Qt::LeftButton);
  QTRY_VERIFY_WITH_TIMEOUT(Text(dialog, "lbError").startsWith(QString::fromUtf8("В процессе перепрошивки возникли ошибки!")),
                           20000);
  QVERIFY(Text(dialog, "lbError").contains(QString::fromUtf8("Не удалось записать блок 0010: панель не приняла команду.")));
  QVERIFY(Text(dialog, "lbError").contains(erased));
  QVERIFY(Text(dialog, "lbTimeLost").isEmpty());
  QVERIFY(!start->isEnabled());
  QVERIFY(exit->isEnabled());
  QVERIFY(memo->toPlainText().contains(QString::fromUtf8("ОШИБКА! Прошивка не обновлена! Не удалось записать блок 0010")));
  QVERIFY(memo->toPlainText().contains(erased));
  Shot(dialog, "update-failed.png");

  // The exit button reconnects through the connection dialog; the update is offered again.
  panel.BootLoader().SetOptions({});
  ConnectTo(window, port);
  QTest::mouseClick(exit, Qt::LeftButton);
  QTRY_VERIFY(dialog->isVisible());
  QVERIFY(start->isEnabled());
  QVERIFY(Text(dialog, "lbError").isEmpty());

  // Stopped half-way: the log says what the panel was left with.
  memo->clear();
  QTest::mouseClick(start, Qt::LeftButton);
  auto* bar = dialog->findChild<QProgressBar*>("RzProgressBar1");
  QTRY_VERIFY_WITH_TIMEOUT(bar->value() > 100, 20000);
  Shot(dialog, "update-before-abort.png");
  ConnectTo(window, port, {}, "update-aborted.png");
  QTest::mouseClick(exit, Qt::LeftButton);
  QTRY_VERIFY(window.Shell().Connected());
  QVERIFY(memo->toPlainText().contains(QString::fromUtf8("ОШИБКА! Прошивка не обновлена! Перепрошивка прервана. ") + erased));
  QVERIFY(Count(panel, "+W") < 1622);
  QCOMPARE(Count(panel, "+EE"), 0);
  if (dialog->isVisible()) exit->click();
  window.close();
}

void UpdateWindowTest::updateWhileDisconnectedSaysSoBeforeAnyWarning() {
  QTemporaryDir dir;
  MainWindow window(dir.path().toStdString() + "/");
  window.show();
  QString title, text;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      title = box->windowTitle();
      text = box->text();
      Shot(box, "update-disconnected.png");
      box->accept();
    }
  });
  poll.start(20);
  window.Shell().Main()["N5"].Click();
  poll.stop();
  QCOMPARE(title, QString::fromUtf8("Перепрошивка панели"));
  QCOMPARE(text, QString::fromUtf8("Нет соединения с панелью!"));
  QVERIFY(window.Firmware().questions.empty());
  QVERIFY(!window.Firmware().UpdateView()->isVisible());
  window.close();
}

QTEST_MAIN(UpdateWindowTest)
#include "UpdateWindowTest.moc"
