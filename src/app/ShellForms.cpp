#include "app/ShellForms.h"

#include <algorithm>
#include <cstdio>

#include "base/Cp1251.h"
#include "base/ValueHelpers.h"

namespace zorvan {

using K = TControlKind;

const std::vector<TCommandInfo>& MainCommands() {
  static const std::vector<TCommandInfo> commands = {
      {"tbtnConnect", "mnuConnect", "Подключиться", "Ctrl+C", true},
      {"tbtnDisconnect", "mnuDisconnect", "Отключиться", "Ctrl+D", false},
      {"tbtnRead", "mnuRead", "Прочитать настройки с данной страницы", "Ctrl+R", false},
      {"tbtnWrite", "mnuWrite", "Записать настройки с данной страницы", "Ctrl+W", false},
      {"tbtnReadAll", "mnuReadAll", "Прочитать все настройки", "Shift+Ctrl+R", false},
      {"tbtnWriteAll", "mnuWriteAll", "Записать все настройки", "Shift+Ctrl+W", false},
      {"tbtnDefault", "N1", "Настройки по умолчанию на данной странице", "", false},
      {"tbtnDefaultAll", "N2", "Все настройки по умолчанию", "", false},
      {"tbtnCalcel", nullptr, "Остановить чтение/запись настроек", "", true},
      {nullptr, "mnuSave", "Сохранить", "Ctrl+S", true},
      {nullptr, "mnuLoad", "Загрузить", "Ctrl+L", true},
      {nullptr, "mnuCompare", "Сравнить с файлом...", "", false},
      {nullptr, "N5", "Обновление прошивки", "", true},
      {nullptr, "mnuUpdate", "Обновление версии прошивки из файла", "", true},
      {nullptr, "mnuAbout", "О программе", "F1", true},
      {nullptr, "mnuExit", "Выход", "Ctrl+X", true},
  };
  return commands;
}

const std::vector<TMenuInfo>& MainMenus() {
  static const std::vector<TMenuInfo> menus = {
      {"mnuFile", "Файл", {"mnuCompare", "-", "mnuExit"}},
      {"mnuConnections", "Соединение", {"mnuConnect", "mnuDisconnect"}},
      {"N4", "Панель", {"mnuRead", "mnuWrite", "-", "mnuReadAll", "mnuWriteAll", "-", "mnuUpdate", "N5"}},
      {"mnuProperties", "Настройки", {"mnuSave", "mnuLoad", "-", "N1", "N2"}},
      {"mnuHelp", "Помощь", {"mnuAbout"}},
  };
  return menus;
}

TMainForm::TMainForm() : TForm("MainForm") {
  for (const TCommandInfo& c : MainCommands()) {
    if (c.button) {
      TControl& b = Add(c.button, K::ToolButton);
      b.SetText(W(c.caption));
      b.SetEnabled(c.enabledAtStart);
    }
    if (c.menu) {
      TControl& m = Add(c.menu, K::MenuItem);
      m.SetText(W(c.caption));
      m.SetEnabled(c.enabledAtStart);
    }
  }
  for (const TMenuInfo& m : MainMenus()) Add(m.name, K::MenuItem).SetText(W(m.caption));
  (*this)["mnuUpdate"].SetVisible(false);
  TControl& logCommand = Add("mnuLog", K::MenuItem);
  logCommand.SetText(W("Записывать информацию в лог файл"));
  logCommand.SetVisible(false);
  Add("tv1", K::TreeView);
  Add("Memo1", K::Memo);
  Add("RzBitBtn1", K::Button).SetText(W("Очистить"));
  Add("RzBitBtn2", K::Button).SetText(W("Сохранить"));
  Add("StatusBar1", K::StatusBar)
      .SetItems({W("Com-порт:"), W("Телефон:"), W("Версия прошивки:"), "", ""});
  Add("RzProgressBar1", K::ProgressBar).SetVisible(false);
}

const std::vector<const char*>& TMainForm::ConnectedCommands() {
  static const std::vector<const char*> names = {
      "mnuDisconnect", "tbtnDisconnect", "tbtnRead", "tbtnWrite", "tbtnReadAll", "tbtnWriteAll", "tbtnDefault",
      "tbtnDefaultAll", "mnuRead", "mnuWrite", "mnuReadAll", "mnuWriteAll", "N1", "N2", "mnuCompare"};
  return names;
}

void TMainForm::SetCommandsEnabled(const std::vector<const char*>& names, bool enabled) {
  for (const char* n : names)
    if (TControl* c = Find(n)) c->SetEnabled(enabled);
}

void TMainForm::SetStatusPanel(int panel, std::string_view text) {
  TControl& bar = StatusBar();
  auto items = bar.Items();
  if (panel < 0 || panel >= static_cast<int>(items.size())) return;
  items[static_cast<std::size_t>(panel)] = text;
  bar.SetItems(std::move(items));
}


std::string NormaliseMasterKey(std::string_view text) {
  std::string digits(text.substr(0, std::min<std::size_t>(text.size(), 4)));
  digits.resize(4, '0');
  for (char& c : digits)
    if (c == ' ' || c == '_') c = '0';
  int value = 0;
  if (!ParseInteger(digits, value) || value < 0) value = 0;
  char out[16];
  std::snprintf(out, sizeof out, "%.4d", value);
  return out;
}

TConnectDialog::TConnectDialog() : TForm("dlgConnect") {
  Self().SetText(W("Подключение к панели"));
  Add("lbKey", K::Label).SetText(W("Мастер-ключ:"));
  TControl& key = Add("meMasterKey", K::MaskEdit, "5281");
  key.SetText("5281");
  key.SetMaxLength(4);
  key.OnChange([](TControl& c) { c.SetText(NormaliseMasterKey(c.Text())); });
  Add("Label1", K::Label).SetText(W("Com-порт:"));
  Add("ComPorts", K::ComboBox);
  Add("Label4", K::Label).SetText(W("Тип и параметры подключения:"));
  TControl& type = Add("ConnectTypeCombo", K::ComboBox);
  type.SetItems({W("Кабель программирования"), W("GSM-модем v.32"), W("GSM-модем v.110")});
  type.SetItemIndex(0);
  type.OnChange([this](TControl&) { ApplyConnectType(); });
  Add("Label2", K::Label).SetText(W("Номер телефона:"));
  Add("Phones", K::ComboBox);
  Add("OKBtn", K::Button).SetText("OK");
  Add("CancelBtn", K::Button).SetText("Cancel");
  (*this)["OKBtn"].onClick = [this](TControl&) {
    ConfirmPhone();
    CloseModal(mrOk);
  };
  (*this)["CancelBtn"].onClick = [this](TControl&) { CloseModal(mrCancel); };
  ApplyConnectType();
}

bool TConnectDialog::IsModem() const {
  const TControl* type = Find("ConnectTypeCombo");
  return type && type->ItemIndex() > 0;
}

void TConnectDialog::ApplyConnectType() {
  const int type = ConnectType().ItemIndex();
  const bool modem = type == 1 || type == 2;
  Phones().SetEnabled(modem);
  (*this)["Label2"].SetEnabled(modem);
  if (modem && onProtocol) onProtocol(type == 1 ? 0 : 1);
}

void TConnectDialog::ConfirmPhone() {
  TControl& phones = Phones();
  const std::string number = phones.Text();
  if (number.empty()) return;
  std::vector<std::string> items = phones.Items();
  if (std::find(items.begin(), items.end(), number) != items.end()) return;
  if (items.size() >= 5) items.resize(4);
  items.insert(items.begin(), number);
  phones.SetItems(std::move(items));
  phones.SetText(number);
}

TSplashDialog::TSplashDialog() : TForm("dlgSplash") {
  Self().SetText(W("Подключение"));
  Add("Panel1", K::Panel).SetText(W("Состояние подключения"));
  TControl& status = Add("Panel2", K::Panel);
  status.SetFontStyle(fsBold);
  TControl& ok = Add("Button1", K::Button);
  ok.SetVisible(false);
  ok.onClick = [this](TControl&) { CloseModal(mrOk); };
  TControl& cancel = Add("CancelBtn", K::Button);
  cancel.SetText(W("Отмена"));
  cancel.onClick = [this](TControl&) { CloseModal(mrCancel); };
}

TTerminalForm::TTerminalForm() : TForm("TerminalForm") {
  Self().SetText("Terminal");
  Add("Edit1", K::Edit).SetText("+v");
  Add("Button1", K::Button).SetText("Send");
}

void SaveConnectSettings(TIniFile& ini, const TConnectDialog& dialog, const TDebugSettings& debug) {
  const TControl& ports = *dialog.Find("ComPorts");
  const TControl& phones = *dialog.Find("Phones");
  ini.WriteString("Connect", "ComPort", ports.Text());
  for (std::size_t i = 0; i < 5; ++i)
    ini.WriteString("Connect", "Phone" + std::to_string(i + 1), i < phones.Items().size() ? phones.Items()[i] : "");
  ini.WriteString("Connect", "Phone", phones.Text());
  ini.WriteInteger("Connect", "ConnectType", dialog.Find("ConnectTypeCombo")->ItemIndex());
  ini.WriteString("Connect", "MasterKey", dialog.Find("meMasterKey")->Text());
  ini.WriteBool("Debug", "Memo", false);
  ini.WriteBool("Debug", "Log", debug.log);
}

void LoadConnectSettings(const TIniFile& ini, TConnectDialog& dialog, TDebugSettings& debug) {
  const std::string port = ini.ReadString("Connect", "ComPort", "");
  if (!port.empty()) dialog.Ports().SetText(port);
  // The history: numbers in order up to the first gap, without repeats, five at most.
  std::vector<std::string> history = dialog.Phones().Items();
  for (int i = 1; i <= 5; ++i) {
    const std::string number = ini.ReadString("Connect", "Phone" + std::to_string(i), "");
    if (number.empty()) break;
    if (std::find(history.begin(), history.end(), number) == history.end() && history.size() < 5)
      history.push_back(number);
  }
  const std::string shown = dialog.Phones().Text();
  dialog.Phones().SetItems(std::move(history));
  dialog.Phones().SetText(shown);
  const std::string phone = ini.ReadString("Connect", "Phone", "");
  if (!phone.empty()) dialog.Phones().SetText(phone);
  dialog.MasterKey().SetText(ini.ReadString("Connect", "MasterKey", "5281"));
  dialog.ConnectType().SetItemIndex(ini.ReadInteger("Connect", "ConnectType", 0));
  if (dialog.ConnectType().ItemIndex() < 0) dialog.ConnectType().SetItemIndex(0);
  dialog.ApplyConnectType();
  debug.log = ini.ReadBool("Debug", "Log", false);
}

}  // namespace zorvan
