#pragma once
// How the worker reaches the UI thread: the one blocking call, the field reads and the
// synchronous steps of the connection. The windowed program and the command-line tool
// implement it; tests use a fake.
#include <functional>
#include <string>
#include <unordered_map>

#include "model/Codecs.h"
#include "model/Control.h"
#include "session/OutElement.h"

namespace zorvan {

class TPageSet;

// What the version check found out about the panel.
struct TPanelInfo {
  std::string version;
  int family = 9;
  int variant = -1;
  int build = -1;
  int typepanA = 0;
  int typepanB = 0;
  bool modemLink = false;
};

// The values of a page's fields as the user-interface thread saw them at one moment.
class TPageValues {
 public:
  const TFieldState& operator[](const TControl& field) const {
    static const TFieldState none;
    auto found = values_.find(&field);
    return found == values_.end() ? none : found->second;
  }
  void Set(const TControl& field, TFieldState state) { values_[&field] = std::move(state); }
  void SetText(const TControl& field, std::string text) { values_[&field].text = std::move(text); }
  void SetChecked(const TControl& field, bool checked) { values_[&field].checked = checked; }
  // The window answered: the values are what it showed, not an empty stand-in.
  bool taken = false;

 private:
  std::unordered_map<const TControl*, TFieldState> values_;
};

// A question that a worker step asks the user, and the answers. NotAsked: the worker is
// ending or the window is closing, so nobody was asked.
enum class TQuestionKind { YesNo, YesNoCancel, Warning, Information };
enum class TAnswer { NotAsked, Ok, Yes, No, Cancel };
struct TQuestion {
  TQuestionKind kind = TQuestionKind::Information;
  std::string caption;  // cp1251
  std::string text;
};
struct TFileQuestion {
  bool save = false;
  std::string caption;
  std::string filter;     // "Текстовые файлы (*.txt)"
  std::string suggested;  // a file name to start with
};

class TUiBridge {
 public:
  virtual ~TUiBridge() = default;

  // Runs the action on the UI thread and returns true when it has finished. Returns false
  // without running it when the worker is ending or the window is closing: a wait on the
  // UI thread always ends.
  virtual bool RunOnUiThread(std::function<void()> action) = 0;
  // The same with the pages writable inside the action only: the page rules run there.
  virtual bool RunWithPages(const std::function<void(TPageSet& pages)>& action) = 0;

  // A question for the user; waits for the answer.
  virtual TAnswer Ask(const TQuestion& question) = 0;
  // A file for the worker to read or write; empty when cancelled or not asked.
  virtual std::string AskFile(const TFileQuestion& question) = 0;

  // A field read, made from the worker; the implementation takes the value on the UI thread.
  virtual std::string FieldText(const TControlRef& field) = 0;
  // Every field of a page in one call: what a page write sends.
  virtual TPageValues PageValues(const TForm& page) = 0;

  // Connect protocol of the connection dialog (0 v.32, 1 v.110) for a modem connection.
  virtual int ConnectProtocol() = 0;

  // Runs on the UI thread (the device calls it through RunOnUiThread) after the version
  // check: program-wide copies, page tree, pages, enabled commands.
  virtual void AdaptUiToPanel(const TPanelInfo& panel) = 0;
};

// Control names the session posts to and reads from.
namespace controls {
inline const TControlRef kDisconnectButton{"MainForm", "tbtnDisconnect"};
inline const TControlRef kPageTree{"MainForm", "tv1"};
inline const TControlRef kSplashStatus{"dlgSplash", "Panel2"};
inline const TControlRef kSplashOk{"dlgSplash", "Button1"};
inline const TControlRef kMasterKey{"dlgConnect", "meMasterKey"};
inline const TControlRef kTerminalLine{"TerminalForm", "Edit1"};
}  // namespace controls

}  // namespace zorvan
