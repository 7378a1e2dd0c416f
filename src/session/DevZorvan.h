#pragma once
// The device object: what the program knows about the connected panel and every panel
// operation, run on the worker thread. Pages register their read and write operations.
#include <array>
#include <atomic>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "model/Param.h"
#include "session/Colors.h"
#include "session/Device.h"
#include "session/OutElement.h"
#include "session/PageCatalogue.h"
#include "session/UiBridge.h"
#include "session/WriteScope.h"

namespace zorvan {

class TModem;
class TOutArray;

// How one exchange of a parameter ended.
enum class TOutcome {
  Done,        // answered, the line is fine
  Silent,      // no answer within the attempts
  Refused,     // "ERR"
  Ignored,     // "IGN"
  LineLost,    // the line check failed or the connection is ending
  Unreadable,  // an answer its codec cannot read
  Invalid,     // the field holds nothing that can be sent
  Cancelled,   // the user cancelled the operation
};

struct TExchange {
  TOutcome outcome = TOutcome::Silent;
  std::string value;  // the cleaned reply when done
  std::string raw;    // what arrived
  bool Ok() const { return outcome == TOutcome::Done; }
};

// Where a firmware upload over a lost connection may resume.
struct TFirmwareResume {
  int nextLine = 1;
  int checksumPhase = 1;
  std::array<std::uint32_t, 4> checksums{};
  bool allowed = false;
  // Which image the stored position belongs to: another image starts from the beginning.
  std::uint64_t image = 0;
};

// When the idle cycle's keep-alive and the shown page's idle work are due. Each has its own
// time stamp; only work that counts as activity postpones the keep-alive, and such work also
// waits for the line to have been quiet for its period. Times are protocol milliseconds.
class TIdleSchedule {
 public:
  // A connection is up: everything starts counting from now.
  void Start(std::int64_t now, int keepAliveSeconds);
  int KeepAliveSeconds() const { return keepAliveSeconds_; }
  bool KeepAliveDue(std::int64_t now) const;
  // The keep-alive or other activity on the line has just happened.
  void Activity(std::int64_t now) { lastActivity_ = now; }
  bool WorkDue(const TIdleWork& work, std::int64_t now) const;
  void WorkDone(const TIdleWork& work, std::int64_t now);

 private:
  std::int64_t lastActivity_ = 0;
  std::int64_t start_ = 0;
  int keepAliveSeconds_ = 60;
  std::map<const TIdleWork*, std::int64_t> lastWork_;
};

class TDevZorvan : public TDevice {
 public:
  explicit TDevZorvan(TOutArray& out);

  // Wiring, done on the UI thread before the worker starts.
  // Also gives the worker the cancel check: the abort flag, while a page operation runs.
  void SetWorker(TModem* worker);
  void SetUi(TUiBridge* ui) { ui_ = ui; }
  TModem* Worker() const { return worker_; }
  TUiBridge& Ui() { return *ui_; }
  // The pages and their operations, from the catalogue; set once on the UI thread. The worker
  // reads only what never changes of them.
  void SetPages(const TPageSet* pages) { pages_ = pages; }
  const TPageSet* Pages() const { return pages_; }

  // TDevice.
  void ReadPage() override;
  void WritePage() override;
  void ReadAll() override;
  void WriteAll() override;
  void Run(std::uint8_t requestCode) override;

  // Current page (written by the UI thread as well).
  void SetCurrentPage(TPageId page) { currentPage_.store(static_cast<int>(page)); }
  TPageId CurrentPage() const { return static_cast<TPageId>(currentPage_.load()); }
  // Read-all or write-all runs: steps meant for a single page are left out.
  bool AllRunning() const { return all_; }

  // Abort flag: set by a failed line check, by cancel and by disconnect.
  bool Aborted() const { return abort_.load(); }
  void Abort() { abort_.store(true); }
  void ClearAbort() { abort_.store(false); }
  // A parameter of a page operation met silence (true) or an answer (false). In a read-all or
  // write-all a few silent ones in a row mean the panel has stopped answering: the abort flag
  // is set and PanelSilent says why.
  void NoteSilence(bool silent);
  static constexpr int kSilentLimit = 3;
  bool PanelSilent() const { return panelSilent_; }
  // Set on the UI thread before a write request from a settings file, cleared after it.
  void SetWriteScope(std::optional<TWriteScope> scope) { writeScope_ = std::move(scope); }
  const TWriteScope* WriteScope() const { return writeScope_ ? &*writeScope_ : nullptr; }
  void SetIdleSuppressed(bool suppressed) { idleSuppressed_.store(suppressed); }
  // The worker sits in its suppressed idle step and sends nothing (the line is lent out).
  bool IdleParked() const { return idleParked_.load(); }

  // One exchange in a query style, classified. Sets no colour; a failed line check sets the
  // abort flag where the style says so. Page operations go through their runner, which
  // records what failed.
  TExchange Exchange(const std::string& command, const TQuery& style);

  void DisableControls();
  void EnableControls();

  // Connection and service operations.
  void ConnectSequence();
  void ReadVersion();
  bool Authorise(const std::string& masterCode, std::string& message);
  void StopPanel();
  void StartPanel();
  void RebootPanel();
  void LedTest();
  void IdleCycle();

  // What the connection found out; read on the UI thread after the connection is up.
  int Family() const { return family_; }
  int Variant() const { return variant_; }
  int Build() const { return build_; }
  TPanelIdentity Identity() const { return {family_, variant_, build_}; }
  int TypepanA() const { return typepanA_; }
  int TypepanB() const { return typepanB_; }
  const std::string& VersionText() const { return versionText_; }
  int KeepAliveInterval() const { return idle_.KeepAliveSeconds(); }
  TFirmwareResume& FirmwareResume() { return resume_; }

  // The last terminal line's answer: whether it came and its value (or the raw reply).
  bool TerminalAnswered() const { return terminalAnswered_; }
  const std::string& TerminalReply() const { return terminalReply_; }

 private:
  bool Terminated() const;
  void RunCurrentPage(bool write);
  void RunPage(TPageId page, bool write);
  void RunPageOperation(TPageId page, bool write);
  void RunRequest(const TPageRequest& request, TPageId page);
  const TPageKind* Kind(TPageId page) const;
  void RunAll(bool write);
  void TerminalLine();
  void SetStatus(const std::string& text);

  TModem* worker_ = nullptr;
  TUiBridge* ui_ = nullptr;
  const TPageSet* pages_ = nullptr;

  std::atomic<int> currentPage_{0};
  std::atomic<bool> abort_{false};
  // Cancel reaches the exchange only inside an operation that allows it, which clears the flag
  // first; a flag left over from an earlier cancel must not cut the keep-alive or the terminal
  // short.
  std::atomic<bool> cancellable_{false};
  std::atomic<bool> idleSuppressed_{false};
  std::atomic<bool> idleParked_{false};
  bool all_ = false;

  int build_ = -1;
  int variant_ = -1;
  int typepanA_ = 0;
  int typepanB_ = 0;
  int family_ = 9;
  std::string versionText_;
  TIdleSchedule idle_;
  TFirmwareResume resume_;
  int silentInARow_ = 0;
  bool panelSilent_ = false;
  std::optional<TWriteScope> writeScope_;
  bool terminalAnswered_ = false;
  std::string terminalReply_;
};

}  // namespace zorvan
