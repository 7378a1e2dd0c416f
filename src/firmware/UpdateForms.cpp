#include "firmware/UpdateForms.h"

#include <algorithm>

#include "base/Cp1251.h"
#include "base/IniFile.h"
#include "firmware/BuiltInImages.h"
#include "link/Modem.h"
#include "session/Colors.h"

namespace zorvan::firmware {
namespace {

using K = TControlKind;

const TControlRef kMainProgress{"MainForm", "RzProgressBar1"};

TControlRef Ref(const char* control) { return {"formUpdateIns", control}; }

const char* const kTimeLabels[] = {"lbTimeAfterHead", "lbTimeAfter", "lbTimeLostHead", "lbTimeLost"};

// A progress bar's total travels in its length limit; touching its items tells the views.
void SetTotal(TControl& bar, int total) {
  bar.SetMaxLength(total);
  bar.SetItems({});
}

}  // namespace

TformUpdateIns::TformUpdateIns() : TForm("formUpdateIns") {
  Self().SetText(W("Перепрошивка панели"));
  Self().SetVisible(false);
  Add("Label1", K::Label).SetText(W("Доступна следующая версия для перепрошивки:"));
  Add("lbNewName", K::Label);
  Add("Label2", K::Label).SetText(W("Текущая версия прошивки панели:"));
  Add("lbOldName", K::Label);
  Add("RzProgressBar1", K::ProgressBar);
  Add("lbTimeAfterHead", K::Label).SetText(W("Времени прошло:"));
  Add("lbTimeAfter", K::Label);
  Add("lbTimeLostHead", K::Label).SetText(W("Времени осталось:"));
  Add("lbTimeLost", K::Label);
  Add("lbError", K::Label);
  Add("btnUpdateVer", K::Button).SetText(W("Перепрошить панель"));
  Add("btnExit", K::Button).SetText(W("Выйти без перепрошивки"));
  for (const char* name : kTimeLabels) (*this)[name].SetVisible(false);
}

TformUpdateInsertion::TformUpdateInsertion() : TForm("formUpdateInsertion") {
  Self().SetText(W("Обновление версии прошивки"));
  Self().SetVisible(false);
  Add("GroupBox1", K::GroupBox).SetText(W("Выберите файл с прошивкой"));
  Add("Label1", K::Label).SetText(W("Путь к файлу:"));
  Add("etPath", K::Edit);
  Add("RzBitBtn1", K::Button);
  Add("sgHex", K::StringGrid);
  Add("lbHexError", K::Label);
  Add("btnOK", K::Button).SetText("OK");
  Add("btnCancel", K::Button).SetText("Cancel");
  TControl& grid = Grid();
  for (int row = 0; row < 8; ++row) grid.AddRow(std::vector<std::string>(17));
  grid.SetCell(0, 0, "0000");
}

// The update dialog's displays, through the output queue: the UI timer applies them in order.
class TFirmwareUpdate::TDialogReport : public TFlashReport {
 public:
  explicit TDialogReport(TOutArray& out) : out_(out) {}
  void Stage(const std::string& text) override {
    out_.PostColor(Ref("lbError"), clBlack);
    out_.PostText(Ref("lbError"), text);
  }
  void Progress(int position, int) override { out_.PostInt(Ref("RzProgressBar1"), position); }
  void Times(const std::string& elapsed, const std::string& remaining) override {
    out_.PostText(Ref("lbTimeAfter"), elapsed);
    out_.PostText(Ref("lbTimeLost"), remaining);
  }
  void FinishStarts() override { out_.PostText(Ref("btnExit"), "false"); }

 private:
  TOutArray& out_;
};

// The file update reports to the main window's progress bar and log.
class TFirmwareUpdate::TBarReport : public TFlashReport {
 public:
  explicit TBarReport(TOutArray& out) : out_(out) {}
  void Progress(int position, int) override { out_.PostInt(kMainProgress, position); }
  void Log(const std::string& line) override { out_.PostLog(line, true, true); }

 private:
  TOutArray& out_;
};

TFirmwareUpdate::TFirmwareUpdate(TShell& shell, TFirmwareView& view)
    : shell_(shell), view_(view), image1_(LoadBuiltInImage(1)), image2_(LoadBuiltInImage(2)) {
  shell_.Registry().Register(updateForm_);
  shell_.Registry().Register(fileForm_);
  TMainForm& main = shell_.Main();
  main["N5"].SetVisible(true);
  main["N5"].onClick = [this](TControl&) { UpdateMenu(); };
  main["mnuUpdate"].onClick = [this](TControl&) { FileUpdateMenu(); };
  updateForm_["btnUpdateVer"].onClick = [this](TControl&) { StartUpdate(); };
  updateForm_["btnExit"].onClick = [this](TControl&) { Exit(); };
  fileForm_["RzBitBtn1"].onClick = [this](TControl&) { BrowseHex(); };
  fileForm_["btnOK"].onClick = [this](TControl&) { fileForm_.CloseModal(TForm::mrOk); };
  fileForm_["btnCancel"].onClick = [this](TControl&) { fileForm_.CloseModal(TForm::mrCancel); };
  fileForm_["etPath"].OnChange([this](TControl&) { UpdateOkButton(); });
  UpdateOkButton();
  shell_.connectWithoutDialog = [this] { return reconnectPending_; };
  shell_.onConnected = [this] {
    if (!Running() && Offered()) UpdateMenu();
  };
}

TFirmwareUpdate::~TFirmwareUpdate() {
  shell_.connectWithoutDialog = nullptr;
  shell_.onConnected = nullptr;
  if (thread_) {
    thread_->RequestStop();
    WaitForThread();
  }
}

void TFirmwareUpdate::Attach() {
  TControl& caption = shell_.Main().Self();
  const TVersionNumbers image = image1_.empty() ? TVersionNumbers{} : ParseVersionLine(image1_[0]);
  if (image.variant >= 0 && image.build >= 0 && !image2_.empty())
    caption.SetText(caption.Text() + " (Update " + image2_[0] + ")");
  TIniFile ini;
  ini.LoadFromFile(shell_.Folder() + "current.ini");
  const bool unlocked = ini.ReadString("Update", "UpdatePanelVersion", "") == "vbnqsu";
  shell_.Main()["mnuUpdate"].SetVisible(unlocked);
  shell_.Main()["RzProgressBar1"].SetVisible(unlocked);
}

TPanelFirmware TFirmwareUpdate::Panel() const {
  TDevZorvan& device = shell_.Device();
  return TPanelFirmware{device.Variant(), device.Build(), device.TypepanA() != 0, device.TypepanB() != 0};
}

bool TFirmwareUpdate::Offered() const {
  if (!shell_.Connected() || image1_.empty() || image2_.empty()) return false;
  return UpdateOffered(Panel(), image1_[0], image2_[0]);
}

void TFirmwareUpdate::UpdateMenu() {
  if (Running()) return;
  const std::string caption = updateForm_.Self().Text();
  // Without a panel there is nothing to warn about.
  if (!shell_.Connected()) {
    view_.ShowInfo(caption, W("Нет соединения с панелью!"));
    return;
  }
  if (!view_.AskYesNo(
          caption,
          W("Внимание: в момент перепрошивки необходимо обеспечить постоянное питание прибора!\r\nВо избежание "
            "поломки прибора не прерывайте связь между программой и прибором\r\nво время перепрошивки!\r\nНастройки "
            "прибора после перепрошивки останутся прежними.\r\nПосле окончания перепрошивки необходимо подождать 10 "
            "минут перед подключением\r\nк прибору, после того как вы убедитесь что версия прошивки изменилась, "
            "очистите историю прибора.\r\n\r\nПродолжить?")))
    return;
  // The connection may have ended while the question was open.
  if (!shell_.Connected()) {
    view_.ShowInfo(caption, W("Нет соединения с панелью!"));
    return;
  }
  if (!Offered()) {
    view_.ShowInfo(caption, W("Перепрошивка не требуется"));
    return;
  }
  ShowDialog();
}

void TFirmwareUpdate::ShowDialog() {
  SetState(TUpdateState::Idle);
  shell_.Main().Self().SetEnabled(false);
  TformUpdateIns& f = updateForm_;
  f["btnUpdateVer"].SetEnabled(true);
  f["btnExit"].SetEnabled(true);
  f["btnExit"].SetText(W("Выйти без перепрошивки"));
  for (const char* name : kTimeLabels) f[name].SetVisible(false);
  f["lbTimeAfter"].SetText("");
  f["lbTimeLost"].SetText("");
  f["RzProgressBar1"].SetPosition(0);
  f["Label1"].SetVisible(true);
  f["lbNewName"].SetVisible(true);
  f["lbError"].SetText("");
  f["lbError"].SetFontColor("clBlack");
  f["lbOldName"].SetText(shell_.Device().VersionText());
  const int number = ImageNumberForVariant(Panel().variant);
  const TImageLines& image = Image(number);
  f["lbNewName"].SetText(number != 0 && !image.empty() ? image[0] : std::string());
  f.Self().SetVisible(true);
  view_.ShowUpdateDialog();
}

void TFirmwareUpdate::StartUpdate() {
  if (Running() || State() != TUpdateState::Idle) return;
  TformUpdateIns& f = updateForm_;
  SetState(TUpdateState::Starting);
  f["btnUpdateVer"].SetEnabled(false);
  f["btnExit"].SetEnabled(true);
  f["btnExit"].SetText(W("Выйти без перепрошивки"));
  f["lbError"].SetText("");
  f["lbError"].SetFontColor("clBlack");
  for (const char* name : kTimeLabels) f[name].SetVisible(true);
  const int number = ImageNumberForVariant(Panel().variant);
  std::vector<TBlock> blocks = number != 0 ? BuiltInBlocks(Image(number)) : std::vector<TBlock>{};
  TModem* worker = shell_.Device().Worker();
  if (blocks.empty() || !worker || worker->Finished() || worker->IsTerminated()) {
    // It could not start: the exit button reconnects as after a finished update.
    SetState(TUpdateState::Succeeded);
    return;
  }
  SetTotal(f["RzProgressBar1"], ProgressTotal(TFlashDriver::BuiltIn, static_cast<int>(blocks.size())));
  f["RzProgressBar1"].SetPosition(0);
  fileUpdate_ = false;
  report_ = std::make_unique<TDialogReport>(shell_.Out());
  thread_ = std::make_unique<TUpdateThread>(shell_.Device(), TFlashDriver::BuiltIn, std::move(blocks), *report_);
  thread_->onStart = [this] { SetState(TUpdateState::Failed); };
  thread_->endConnectionAfterSuccess = true;
  thread_->Start();
}

void TFirmwareUpdate::Poll() {
  if (!thread_ || !thread_->Finished()) return;
  // What the update posted comes first; the outcome is shown over it.
  shell_.Drain();
  EndUpdate();
}

void TFirmwareUpdate::EndUpdate() {
  thread_->Join();
  const TFlashResult result = thread_->Result();
  thread_.reset();
  if (fileUpdate_) {
    fileUpdate_ = false;
    shell_.Main().Self().SetEnabled(true);
    // The flashing driver logs its own failures; these end before it runs.
    if (result.outcome == TFlashOutcome::NoLine || result.outcome == TFlashOutcome::Empty) LogFailure(result);
    return;
  }
  TformUpdateIns& f = updateForm_;
  if (result.Ok()) {
    SetState(TUpdateState::Succeeded);
    const int number = ImageNumberForVariant(Panel().variant);
    const std::string version = Image(number).empty() ? std::string() : Image(number)[0];
    f["btnUpdateVer"].SetEnabled(false);
    shell_.Main().SetStatusPanel(1, version);
    f["lbOldName"].SetText(version);
    f["Label1"].SetVisible(false);
    f["lbNewName"].SetVisible(false);
    f["btnExit"].SetText(W("Завершить перепрошивку"));
    f["btnExit"].SetEnabled(true);
    f["lbTimeLost"].SetText(DurationText(0));
    f["lbError"].SetFontColor("clGreen");
    f["lbError"].SetText(W("Перепрошивка успешно завершена!"));
  } else {
    SetState(TUpdateState::Failed);
    f["lbError"].SetFontColor("clRed");
    f["lbError"].SetText(W("В процессе перепрошивки возникли ошибки!\r\n") + FailureText(result));
    f["btnUpdateVer"].SetEnabled(false);
    f["btnExit"].SetEnabled(true);
    // Nothing remains to be waited for.
    f["lbTimeLost"].SetText("");
    LogFailure(result);
  }
}

void TFirmwareUpdate::LogFailure(const TFlashResult& result) {
  shell_.Out().PostLog(W("ОШИБКА! Прошивка не обновлена! ") + FailureText(result), true, true);
  shell_.Drain();
}

std::optional<TFlashResult> TFirmwareUpdate::WaitForThread() {
  // The worker may wait for this thread meanwhile: keep serving it.
  while (thread_ && !thread_->Finished()) shell_.Tick(10);
  std::optional<TFlashResult> result;
  if (thread_) {
    thread_->Join();
    result = thread_->Result();
    thread_.reset();
  }
  shell_.Drain();
  return result;
}

void TFirmwareUpdate::Exit() {
  const TUpdateState state = State();
  if (state != TUpdateState::Idle) {
    if (thread_) thread_->RequestStop();
    shell_.Device().Abort();
    if (TModem* worker = shell_.Device().Worker()) worker->Terminate();
  }
  if (state == TUpdateState::Starting) return;
  if (state == TUpdateState::Idle) {
    shell_.Main().Self().SetEnabled(true);
    updateForm_.Self().SetVisible(false);
    view_.CloseUpdateDialog();
    return;
  }
  if (state == TUpdateState::Failed) updateForm_["btnExit"].SetEnabled(false);
  shell_.Main().SetStatusPanel(2, "");
  shell_.Main().Self().SetEnabled(true);
  updateForm_.Self().SetVisible(false);
  view_.CloseUpdateDialog();
  // An update stopped half-way says what it left in the panel.
  if (const auto result = WaitForThread(); result && !result->Ok()) LogFailure(*result);
  shell_.Disconnect();
  // After a good update the same connection is made again without asking.
  reconnectPending_ = State() == TUpdateState::Succeeded;
  shell_.Connect();
  reconnectPending_ = false;
}

void TFirmwareUpdate::FileUpdateMenu() {
  if (Running()) return;
  const std::string caption = fileForm_.Self().Text();
  std::string path;
  for (;;) {
    fileForm_.ResetModalResult();
    if (view_.ExecFileDialog() != TForm::mrOk) return;
    path = fileForm_["etPath"].Text();
    if (path.empty()) return;
    // What is flashed is what the table shows: a path typed after browsing, or a file that
    // changed since, is shown first and must be confirmed again.
    if (TableStillShowsFile(path)) break;
    view_.ShowInfo(caption, W("Файл \"") + path +
                                W("\" прочитан заново: таблица показывала другой файл или его прежнее "
                                  "содержимое. Проверьте таблицу и нажмите OK еще раз."));
  }
  // Nothing goes to the panel from a file that was not read whole.
  if (!table_.complete) {
    view_.ShowInfo(caption, W("Файл прошивки прочитан не полностью (") + table_.error + W("). Прошивка не начата."));
    return;
  }
  if (table_.dataBytes == 0) {
    view_.ShowInfo(caption, W("В файле прошивки нет данных. Прошивка не начата."));
    return;
  }
  TModem* worker = shell_.Device().Worker();
  if (!worker || worker->Finished() || worker->IsTerminated()) {
    view_.ShowInfo(caption, W("Нет соединения с панелью!"));
    return;
  }
  std::vector<TBlock> blocks = FileBlocks(table_);
  TControl& bar = shell_.Main()["RzProgressBar1"];
  SetTotal(bar, ProgressTotal(TFlashDriver::File, static_cast<int>(blocks.size())));
  bar.SetPosition(0);
  shell_.Main().Self().SetEnabled(false);
  fileUpdate_ = true;
  report_ = std::make_unique<TBarReport>(shell_.Out());
  thread_ = std::make_unique<TUpdateThread>(shell_.Device(), TFlashDriver::File, std::move(blocks), *report_);
  thread_->Start();
}

bool TFirmwareUpdate::TableStillShowsFile(const std::string& path) {
  const THexTable shown = table_;
  const bool samePath = path == tablePath_;
  LoadHex(Cp1251ToUtf8(path));
  auto same = [](const THexTable& a, const THexTable& b) {
    if (a.complete != b.complete || a.error != b.error || a.rows.size() != b.rows.size()) return false;
    for (std::size_t r = 0; r < a.rows.size(); ++r)
      if (a.rows[r].paragraph != b.rows[r].paragraph || a.rows[r].cells != b.rows[r].cells) return false;
    return true;
  };
  return samePath && same(shown, table_);
}

void TFirmwareUpdate::UpdateOkButton() {
  // "OK" starts the update from the path; without one it would do nothing.
  fileForm_["btnOK"].SetEnabled(!fileForm_["etPath"].Text().empty());
}

void TFirmwareUpdate::BrowseHex() {
  const std::string path = view_.ChooseHexFile();
  if (!path.empty()) LoadHex(path);
}

bool TFirmwareUpdate::LoadHex(const std::string& path) {
  table_ = ReadHexFile(path);
  tablePath_ = Utf8ToCp1251(path);
  fileForm_["etPath"].SetText(tablePath_);
  UpdateOkButton();
  TControl& grid = fileForm_.Grid();
  grid.ClearRows();
  const std::size_t rows = std::max<std::size_t>(8, table_.rows.size());
  for (std::size_t r = 0; r < rows; ++r) {
    std::vector<std::string> row(17);
    if (r < table_.rows.size()) {
      row[0] = table_.rows[r].paragraph;
      std::copy(table_.rows[r].cells.begin(), table_.rows[r].cells.end(), row.begin() + 1);
    }
    grid.AddRow(std::move(row));
  }
  fileForm_["lbHexError"].SetFontColor(table_.complete ? "clWindowText" : "clRed");
  fileForm_["lbHexError"].SetText(table_.complete ? std::string()
                                                  : W("Файл прочитан не полностью: ") + table_.error);
  return table_.complete;
}

}  // namespace zorvan::firmware
