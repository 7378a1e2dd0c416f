// The whole window, offscreen: views bound to models, driven through their widgets.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

#include "app/IniFile.h"
#include "ui/MainWindow.h"

using namespace zorvan;

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void connectThroughTheDialogsAndExit();
  void startsWithTheTreeAndRestoresPlacement();
};

static QString StatusText(QMainWindow& w, int panel) {
  auto* label = w.statusBar()->findChild<QLabel*>(QString("StatusPanel%1").arg(panel));
  return label ? label->text() : QString();
}

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
  QVERIFY(saved.ValueExists("Connect", "ComPort"));
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
  QCOMPARE(window.Shell().Device().CurrentPage(), std::string_view("formShleif"));
}

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
