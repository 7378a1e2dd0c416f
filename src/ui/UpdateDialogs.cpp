#include "ui/UpdateDialogs.h"

#include <QFileDialog>
#include <QHeaderView>
#include <QMainWindow>
#include <QMessageBox>
#include <QProgressBar>
#include <QStatusBar>
#include <QStyle>

#include "base/Cp1251.h"
#include "ui/Binder.h"
#include "ui_UpdateIns.h"
#include "ui_UpdateInsertion.h"

namespace zorvan {
namespace {

// A progress bar's total travels in its control's length limit; it must be set before the
// binder applies the position, or the position would be cut to the old total.
void BindTotal(QProgressBar* bar, TControl& control) {
  auto apply = [bar](const TControl& c) {
    if (c.MaxLength() > 0 && bar->maximum() != c.MaxLength()) bar->setMaximum(c.MaxLength());
  };
  apply(control);
  const int id = control.AddListener(apply);
  QObject::connect(bar, &QObject::destroyed, [&control, id] { control.RemoveListener(id); });
}

}  // namespace

TFirmwareWindows::TFirmwareWindows(TShell& shell, QMainWindow& mainWindow)
    : mainWindow_(mainWindow),
      updateUi_(std::make_unique<Ui::UpdateIns>()),
      fileUi_(std::make_unique<Ui::UpdateInsertion>()),
      updateView_(std::make_unique<QDialog>(nullptr, Qt::Dialog | Qt::WindowStaysOnTopHint)),
      fileView_(std::make_unique<QDialog>(&mainWindow)) {
  update_ = std::make_unique<firmware::TFirmwareUpdate>(shell, *this);
  // The update dialog is a window of its own: the main window is disabled while it shows.
  updateUi_->setupUi(updateView_.get());
  updateView_->setModal(false);
  fileUi_->setupUi(fileView_.get());
  fileView_->setModal(true);
  fileUi_->RzBitBtn1->setIcon(mainWindow.style()->standardIcon(QStyle::SP_DirOpenIcon));
  fileUi_->GroupBox1->setTitle(ToQt(update_->FileDialog()["GroupBox1"].Text()));
  QStringList headers{QString()};
  for (int column = 0; column < 16; ++column) headers << QString("%1").arg(column, 2, 16, QChar('0')).toUpper();
  fileUi_->sgHex->setHorizontalHeaderLabels(headers);
  fileUi_->sgHex->verticalHeader()->setVisible(false);
  fileUi_->sgHex->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  // Closing the window frame acts as the exit button.
  QObject::connect(updateView_.get(), &QDialog::rejected, [this] {
    if (update_->UpdateDialog().Self().Visible()) update_->UpdateDialog()["btnExit"].Click();
  });

  BindTotal(updateUi_->RzProgressBar1, update_->UpdateDialog()["RzProgressBar1"]);
  BindForm(updateView_.get(), update_->UpdateDialog());
  // A failure text of several lines gets the room it needs.
  TControl& stage = update_->UpdateDialog()["lbError"];
  const int stageListener = stage.AddListener([this](const TControl&) {
    QTimer::singleShot(0, updateView_.get(), [this] {
      if (updateView_->isVisible()) updateView_->resize(updateView_->width(), updateView_->sizeHint().height());
    });
  });
  QObject::connect(updateView_.get(), &QObject::destroyed, [&stage, stageListener] { stage.RemoveListener(stageListener); });
  BindForm(fileView_.get(), update_->FileDialog());
  auto* bar = new QProgressBar(mainWindow.statusBar());
  bar->setObjectName("RzProgressBar1");
  bar->setMaximumWidth(196);
  bar->setTextVisible(false);
  mainWindow.statusBar()->addPermanentWidget(bar);
  BindTotal(bar, shell.Main()["RzProgressBar1"]);
  BindControl(bar, shell.Main()["RzProgressBar1"]);

  update_->Attach();
  QObject::connect(&timer_, &QTimer::timeout, [this] { update_->Poll(); });
  timer_.start(50);
}

TFirmwareWindows::~TFirmwareWindows() {
  timer_.stop();
  // The views go before the models they are bound to: their binders let go of the controls.
  updateView_.reset();
  fileView_.reset();
  update_.reset();
}

bool TFirmwareWindows::AskYesNo(const std::string& caption, const std::string& text) {
  questions.push_back(text);
  if (autoAnswer >= 0) return autoAnswer == 1;
  return QMessageBox::question(&mainWindow_, ToQt(caption), ToQt(text), QMessageBox::Yes | QMessageBox::No) ==
         QMessageBox::Yes;
}

void TFirmwareWindows::ShowInfo(const std::string& caption, const std::string& text) {
  infos.push_back(text);
  if (autoAnswer >= 0) return;
  QMessageBox::information(&mainWindow_, ToQt(caption), ToQt(text));
}

void TFirmwareWindows::ShowUpdateDialog() {
  QDialog* dialog = updateView_.get();
  dialog->adjustSize();
  const QRect main = mainWindow_.frameGeometry();
  dialog->move(main.center() - dialog->rect().center());
  dialog->show();
  dialog->raise();
  updateUi_->btnUpdateVer->setFocus();
}

void TFirmwareWindows::CloseUpdateDialog() { updateView_->hide(); }

int TFirmwareWindows::ExecFileDialog() {
  TForm& form = update_->FileDialog();
  form.ResetModalResult();
  form.onCloseModal = [this](int result) { fileView_->done(result); };
  const int result = fileView_->exec();
  form.onCloseModal = nullptr;
  return result == TForm::mrOk ? TForm::mrOk : TForm::mrCancel;
}

std::string TFirmwareWindows::ChooseHexFile() {
  if (!autoHexFile.empty()) return autoHexFile;
  QFileDialog dialog(fileView_.get(), QString::fromUtf8("Открыть"), QString(), "HEX FILES (*.hex)");
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.selectFile("*.hex");
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().first().toStdString();
}

}  // namespace zorvan
