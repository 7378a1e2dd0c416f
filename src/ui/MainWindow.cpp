#include "ui/MainWindow.h"

#include <QApplication>
#include <algorithm>
#include <QCloseEvent>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QScrollArea>
#include <QSplitter>
#include <QSerialPortInfo>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "base/Cp1251.h"
#include "ui/PageViews.h"
#include "ui/PortList.h"
#include "link/Modem.h"
#include "sim/VirtualPanel.h"
#include "ui/Binder.h"
#include "ui/CompareWindow.h"
#include "ui/UpdateDialogs.h"
#include "ui_ConnectDialog.h"
#include "ui_MainWindow.h"
#include "ui_SplashDialog.h"
#include "ui_TerminalForm.h"

namespace zorvan {
namespace {

QIcon CommandIcon(const QStyle* style, const char* button) {
  const std::map<std::string, QStyle::StandardPixmap> icons = {
      {"tbtnConnect", QStyle::SP_DialogYesButton},    {"tbtnDisconnect", QStyle::SP_DialogNoButton},
      {"tbtnRead", QStyle::SP_ArrowDown},             {"tbtnWrite", QStyle::SP_ArrowUp},
      {"tbtnReadAll", QStyle::SP_FileDialogContentsView}, {"tbtnWriteAll", QStyle::SP_DialogSaveButton},
      {"tbtnDefault", QStyle::SP_BrowserReload},      {"tbtnDefaultAll", QStyle::SP_DialogResetButton},
      {"tbtnCalcel", QStyle::SP_BrowserStop},
  };
  const auto it = icons.find(button);
  return it == icons.end() ? QIcon() : style->standardIcon(it->second);
}

}  // namespace

QString MainWindow::VirtualPanelPort() { return QString::fromUtf8(sim::kPortListEntry); }

MainWindow::MainWindow(const std::string& folder, QWidget* parent, const std::string& stateFolder)
    : TShellOwner(folder, stateFolder),
      QMainWindow(parent),
      ui_(std::make_unique<Ui::MainWindow>()),
      connectUi_(std::make_unique<Ui::ConnectDialog>()),
      splashUi_(std::make_unique<Ui::SplashDialog>()),
      terminalUi_(std::make_unique<Ui::TerminalForm>()),
      connectView_(std::make_unique<QDialog>(this)),
      splashView_(std::make_unique<QDialog>(this)),
      terminalView_(std::make_unique<QDialog>(this)) {
  ui_->setupUi(this);
  connectUi_->setupUi(connectView_.get());
  splashUi_->setupUi(splashView_.get());
  terminalUi_->setupUi(terminalView_.get());
  splashView_->setModal(true);
  BuildCommands();

  for (const TPageEntry& entry : shell_.Catalogue().pages) {
    TPage& page = shell_.PageSet().Page(entry.id);
    // A page larger than its area scrolls, so that no page decides the tree's width.
    auto* scroll = new QScrollArea(ui_->pageArea);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    QWidget* view = CreatePageView(entry.id, page, scroll);
    scroll->setWidget(view);
    ui_->pageArea->addWidget(scroll);
    pageViews_[page.Name()] = scroll;
    BindForm(view, page);
  }
  BindForm(this, shell_.Main());
  BindForm(connectView_.get(), shell_.ConnectDialog());
  BindForm(splashView_.get(), shell_.Splash());
  BindForm(terminalView_.get(), shell_.Terminal());
  ui_->RzSplitter1->setSizes({480, 180});
  ui_->RzSplitter2->setSizes({200, 800});
  // When the window changes size the pages and the log take it up; the tree keeps its width.
  ui_->RzSplitter2->setStretchFactor(0, 0);
  ui_->RzSplitter2->setStretchFactor(1, 1);
  ui_->RzSplitter1->setStretchFactor(0, 1);
  ui_->RzSplitter1->setStretchFactor(1, 0);
  // Exit's Ctrl+X must reach the menu also while a text field has the focus.
  qApp->installEventFilter(this);

  shell_.resolvePort = [this](const std::string& port) {
    return ToQt(port) == VirtualPanelPort() ? StartVirtualPanel() : port;
  };
  shell_.SetView(this);
  // A worker that waits for this thread is served at once, not at the next timer tick.
  shell_.wakeUi = [this] { QMetaObject::invokeMethod(this, [this] { shell_.Tick(); }, Qt::QueuedConnection); };
  shell_.Start();
  firmware_ = std::make_unique<TFirmwareWindows>(shell_, *this);
  compare_ = std::make_unique<TCompareWindow>(shell_, *this, *this);
  LoadPlacement();
  connect(&timer_, &QTimer::timeout, this, [this] {
    timer_.stop();
    shell_.Tick();
    timer_.start();
  });
  timer_.start(50);
}

MainWindow::~MainWindow() {
  if (!closed_) {
    closed_ = true;
    shell_.Close();
  }
  shell_.SetView(nullptr);
}

void MainWindow::BuildCommands() {
  auto* toolbar = addToolBar(QString());
  toolbar->setObjectName("ToolBar1");
  toolbar->setMovable(false);
  std::map<std::string, QAction*> actions;
  for (const TCommandInfo& c : MainCommands()) {
    if (c.button) {
      auto* button = new QToolButton(toolbar);
      button->setObjectName(c.button);
      button->setIcon(CommandIcon(style(), c.button));
      button->setAutoRaise(true);
      toolbar->addWidget(button);
    }
    if (c.menu) {
      auto* action = new QAction(this);
      action->setObjectName(c.menu);
      if (*c.shortcut) action->setShortcut(QKeySequence(QString::fromLatin1(c.shortcut)));
      actions[c.menu] = action;
    }
  }
  for (const TMenuInfo& m : MainMenus()) {
    QMenu* menu = menuBar()->addMenu(QString::fromUtf8(m.caption));
    menu->menuAction()->setObjectName(m.name);
    for (const char* item : m.items) {
      if (std::string(item) == "-") menu->addSeparator();
      else menu->addAction(actions.at(item));
    }
  }
  auto* log = new QAction(this);
  log->setObjectName("mnuLog");
  log->setCheckable(true);
  addAction(log);
}

std::string MainWindow::StartVirtualPanel() {
  // A modem call reaches the virtual panel through its virtual GSM modem, as a real one would.
  TConnectDialog& dialog = shell_.ConnectDialog();
  const bool modem = dialog.IsModem() && !TModem::CleanDialNumber(dialog.Phones().Text()).empty();
  if (virtualPanel_ && virtualPanelModem_ != modem) virtualPanel_.reset();
  if (!virtualPanel_) {
    sim::TModemOptions modemOptions;
    modemOptions.enabled = modem;
    virtualPanel_ = std::make_unique<sim::TVirtualPanel>(sim::TPanelOptions{}, modemOptions);
    virtualPanel_->Start();
    virtualPanelModem_ = modem;
  }
  return virtualPanel_->DevicePath();
}

void MainWindow::FillPorts() {
  TControl& ports = shell_.ConnectDialog().Ports();
  const std::string typed = ports.Text();
  std::vector<std::string> names{FromQt(VirtualPanelPort())};
  for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) names.push_back(FromQt(info.systemLocation()));
  ports.SetItems(names);
  // Nothing chosen yet (the first start): the first entry, the virtual panel, which always
  // answers. A serial port that merely exists may have no panel behind it.
  if (!typed.empty()) ports.SetText(typed);
  else ports.SetItemIndex(0);
  ShowPortDetails(*connectUi_->ComPorts);
}

int MainWindow::ExecModal(TForm& form) {
  QDialog* dialog = &form == &shell_.ConnectDialog() ? connectView_.get()
                    : &form == &shell_.Splash()      ? splashView_.get()
                                                     : nullptr;
  if (!dialog) return TForm::mrCancel;
  if (dialog == connectView_.get()) FillPorts();
  form.ResetModalResult();
  form.onCloseModal = [dialog](int result) { dialog->done(result); };
  const int result = dialog->exec();
  form.onCloseModal = nullptr;
  // Closing by the window frame is a cancel.
  return result == TForm::mrOk ? TForm::mrOk : TForm::mrCancel;
}

bool MainWindow::ExecTracked(QDialog& dialog, int& result) {
  if (shell_.Closing()) return false;
  openDialogs_.push_back(&dialog);
  bool closedByShell = false;
  auto closing = connect(&dialog, &QDialog::finished, &dialog, [this, &closedByShell] {
    closedByShell = shell_.Closing();
  });
  result = dialog.exec();
  disconnect(closing);
  openDialogs_.erase(std::remove(openDialogs_.begin(), openDialogs_.end(), &dialog), openDialogs_.end());
  return !closedByShell;
}

void MainWindow::ShowMessage(const std::string& text) {
  QMessageBox box(QMessageBox::Information, QString::fromUtf8("Информация"), ToQt(text), QMessageBox::Ok, this);
  int result = 0;
  ExecTracked(box, result);
}

void MainWindow::ShowError(const std::string& caption, const std::string& text) {
  QMessageBox box(QMessageBox::Critical, ToQt(caption), ToQt(text), QMessageBox::Ok, this);
  int result = 0;
  ExecTracked(box, result);
}

TAnswer MainWindow::Ask(const TQuestion& question) {
  QMessageBox::Icon icon = QMessageBox::Question;
  QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No;
  switch (question.kind) {
    case TQuestionKind::YesNo: break;
    case TQuestionKind::YesNoCancel: buttons |= QMessageBox::Cancel; break;
    case TQuestionKind::Warning:
      icon = QMessageBox::Warning;
      buttons = QMessageBox::Ok;
      break;
    case TQuestionKind::Information:
      icon = QMessageBox::Information;
      buttons = QMessageBox::Ok;
      break;
  }
  QMessageBox box(icon, ToQt(question.caption), ToQt(question.text), buttons, this);
  int result = 0;
  if (!ExecTracked(box, result)) return TAnswer::NotAsked;
  switch (result) {
    case QMessageBox::Yes: return TAnswer::Yes;
    case QMessageBox::No: return TAnswer::No;
    case QMessageBox::Ok: return TAnswer::Ok;
    default: return TAnswer::Cancel;
  }
}

std::string MainWindow::AskFile(const TFileQuestion& question) {
  QFileDialog dialog(this, ToQt(question.caption), QString::fromStdString(shell_.Folder()), ToQt(question.filter));
  dialog.setAcceptMode(question.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  if (!question.suggested.empty()) dialog.selectFile(ToQt(question.suggested));
  int result = 0;
  if (!ExecTracked(dialog, result) || result != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().first().toStdString();
}

void MainWindow::CloseQuestions() {
  // Each one's loop ends once the close that asked for it has returned.
  for (QDialog* dialog : openDialogs_) dialog->done(QDialog::Rejected);
}

std::string MainWindow::AskSaveSettingsPath() {
  QFileDialog dialog(this, QString(), QString::fromStdString(shell_.Folder()),
                     QString::fromUtf8("Файл настроек(*.ini)"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix("ini");
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().first().toStdString();
}

std::string MainWindow::AskLoadSettingsPath() {
  return QFileDialog::getOpenFileName(this, QString(), QString::fromStdString(shell_.Folder()),
                                      QString::fromUtf8("Файл настроек (*.ini);;Все файлы (*.*)"))
      .toStdString();
}

std::string MainWindow::AskSaveLogPath() {
  QFileDialog dialog(this, QString(), QString::fromStdString(shell_.Folder()), "Text Files (*.txt)");
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix("txt");
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().first().toStdString();
}

void MainWindow::ShowPage(const std::string& page) {
  const auto it = pageViews_.find(page);
  if (it != pageViews_.end()) ui_->pageArea->setCurrentWidget(it->second);
}

void MainWindow::ShowAbout() {
  QMessageBox about(this);
  about.setWindowTitle(QString::fromUtf8("О программе"));
  about.setIconPixmap(style()->standardIcon(QStyle::SP_ComputerIcon).pixmap(48, 48));
  about.setText(QString::fromUtf8("Программа настройки охранной панели Zorvan GSM/GPRS\nВерсия ") +
                QApplication::applicationVersion());
  about.setInformativeText("<a href=\"https://zorvan.example\">zorvan.example</a>");
  about.exec();
}

void MainWindow::ShowTerminal() {
  terminalView_->show();
  terminalView_->raise();
}

void MainWindow::CloseMainWindow() { close(); }

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  // A text field claims Ctrl+X for cutting; in this window it is the exit command, whatever has
  // the focus. Kept from the field, the key goes on to the menu's shortcut.
  if (event->type() == QEvent::ShortcutOverride) {
    const auto* key = static_cast<QKeyEvent*>(event);
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget && widget->window() == this && key->key() == Qt::Key_X &&
        (key->modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier)
      return true;
  }
  return QMainWindow::eventFilter(watched, event);
}

void MainWindow::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (!splittersRestored_) {
    splittersRestored_ = true;
    RestoreSplitters();
  }
}

void MainWindow::RestoreSplitters() {
  // Only now do the splitters have their final size; a size given earlier is scaled on the way.
  auto place = [](QSplitter* splitter, int first) {
    if (first < 0) return;
    const QList<int> sizes = splitter->sizes();
    int total = 0;
    for (int size : sizes) total += size;
    if (total <= 0 || sizes.size() != 2) return;
    first = std::clamp(first, 0, total);
    splitter->setSizes({first, total - first});
  };
  place(ui_->RzSplitter2, savedTreeWidth_);
  place(ui_->RzSplitter1, savedTreeHeight_);
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_T && event->modifiers() == (Qt::ControlModifier | Qt::AltModifier)) {
    ShowTerminal();
    return;
  }
  QMainWindow::keyPressEvent(event);
}

void MainWindow::LoadPlacement() {
  TIniFile ini;
  ini.LoadFromFile(shell_.Folder() + "windows.ini");
  const char* s = "Form1";
  const bool maximized = ini.ReadBool(s, "xForm.WindowState", false);
  QRect geometry = this->geometry();
  if (ini.ValueExists(s, "xForm.Left")) {
    geometry.moveLeft(ini.ReadInteger(s, "xForm.Left", 0));
    geometry.moveTop(ini.ReadInteger(s, "xForm.Top", geometry.top()));
    geometry.setHeight(ini.ReadInteger(s, "xForm.Height", geometry.height()));
    geometry.setWidth(ini.ReadInteger(s, "xForm.Width", geometry.width()));
    setGeometry(geometry);
  } else if (const QScreen* screen = QApplication::primaryScreen()) {
    geometry.moveCenter(screen->availableGeometry().center());
    setGeometry(geometry);
  }
  if (ini.ValueExists(s, "tv1.Width")) savedTreeWidth_ = std::max(0, ini.ReadInteger(s, "tv1.Width", 200));
  if (ini.ValueExists(s, "tv1.Height")) savedTreeHeight_ = std::max(0, ini.ReadInteger(s, "tv1.Height", 480));
  if (isVisible()) RestoreSplitters();
  if (maximized) setWindowState(windowState() | Qt::WindowMaximized);
}

void MainWindow::SavePlacement() {
  TIniFile ini;
  const char* s = "Form1";
  const QRect g = normalGeometry().isValid() ? normalGeometry() : geometry();
  ini.WriteInteger(s, "xForm.Left", g.left());
  ini.WriteInteger(s, "xForm.Top", g.top());
  ini.WriteInteger(s, "xForm.Height", g.height());
  ini.WriteInteger(s, "xForm.Width", g.width());
  ini.WriteBool(s, "xForm.WindowState", isMaximized());
  ini.WriteInteger(s, "ToolBar1.Width", findChild<QToolBar*>("ToolBar1")->width());
  ini.WriteInteger(s, "tv1.Width", ui_->tv1->width());
  ini.WriteInteger(s, "tv1.Height", ui_->tv1->height());
  std::string error;
  if (!ini.SaveToFile(shell_.Folder() + "windows.ini", &error)) ShowError("Error", error);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (!closed_) {
    if (!shell_.Close()) {
      // A worker's question is open below this call: it ends first, then the window closes.
      event->ignore();
      QTimer::singleShot(0, this, &QWidget::close);
      return;
    }
    closed_ = true;
    SavePlacement();
    timer_.stop();
    shell_.Drain();
  }
  event->accept();
}

}  // namespace zorvan
