#pragma once
// Models of the shell's windows: the main window's commands, tree and log, the connection
// dialog with its rules, the progress dialog, the terminal and the small windows.
#include <string>
#include <string_view>
#include <vector>

#include "base/IniFile.h"
#include "model/Control.h"

namespace zorvan {

// One command of the main window: its toolbar button and menu item (either may be absent).
struct TCommandInfo {
  const char* button;   // nullptr when the command has no toolbar button
  const char* menu;     // nullptr when it has no menu item
  const char* caption;  // menu caption and button hint, UTF-8
  const char* shortcut; // Qt key sequence text, or ""
  bool enabledAtStart;
};
const std::vector<TCommandInfo>& MainCommands();

// The main menus and the items they hold, in order; "-" is a separator.
struct TMenuInfo {
  const char* name;
  const char* caption;  // UTF-8
  std::vector<const char*> items;
};
const std::vector<TMenuInfo>& MainMenus();

class TMainForm : public TForm {
 public:
  TMainForm();
  // The commands enabled by a connection and disabled by a disconnect.
  static const std::vector<const char*>& ConnectedCommands();
  void SetCommandsEnabled(const std::vector<const char*>& names, bool enabled);
  TControl& Tree() { return (*this)["tv1"]; }
  TControl& Log() { return (*this)["Memo1"]; }
  TControl& StatusBar() { return (*this)["StatusBar1"]; }
  void SetStatusPanel(int panel, std::string_view text);
};


class TConnectDialog : public TForm {
 public:
  TConnectDialog();
  // Connect protocol chosen by the connect type: 0 v.32, 1 v.110.
  std::function<void(int)> onProtocol;
  // The connect type rules: the phone fields are for the modem types only.
  void ApplyConnectType();
  bool IsModem() const;
  // On OK: the phone number joins the history of five.
  void ConfirmPhone();
  TControl& MasterKey() { return (*this)["meMasterKey"]; }
  TControl& Ports() { return (*this)["ComPorts"]; }
  TControl& ConnectType() { return (*this)["ConnectTypeCombo"]; }
  TControl& Phones() { return (*this)["Phones"]; }
};

// Four digits, blanks as zeros: what the master code field shows after every change.
std::string NormaliseMasterKey(std::string_view text);

class TSplashDialog : public TForm {
 public:
  TSplashDialog();
};

class TTerminalForm : public TForm {
 public:
  TTerminalForm();
};

// Connection and debug keys of a settings file.
struct TDebugSettings {
  bool log = false;
};
void SaveConnectSettings(TIniFile& ini, const TConnectDialog& dialog, const TDebugSettings& debug);
void LoadConnectSettings(const TIniFile& ini, TConnectDialog& dialog, TDebugSettings& debug);

}  // namespace zorvan
