#pragma once
// The flashing protocol: loader "+BL", erase "+BE", the "+W" blocks and the finish "+EE"
// with its four check accumulators. Two drivers share it: the update of a built-in image
// (the update dialog) and the update from a HEX file (the service menu). Both keep the
// resume state, so that after a lost modem call the next update continues after the last
// acknowledged block without erasing again.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "firmware/FirmwareImage.h"
#include "session/DevZorvan.h"

namespace zorvan::firmware {

// The exchange the drivers need. The session's implementation runs it on the connection's
// port; tests script it.
class TFlashLink {
 public:
  virtual ~TFlashLink() = default;
  // Sends one command line and returns the reply without the echo; the wait ends at "OK",
  // "ERR", a link-loss word or the time-out (then the reply is what came, maybe nothing).
  virtual std::string Exchange(const std::string& command, int timeoutMs, bool echo) = 0;
  // The connection has ended (a lost line or a port failure).
  virtual bool Lost() = 0;
  // The user asked the update to stop.
  virtual bool StopRequested() = 0;
  // Protocol milliseconds (the exchange's clock).
  virtual void Sleep(int ms) = 0;
  virtual std::int64_t Now() = 0;
};

// Where the drivers show how it goes. Everything is optional.
class TFlashReport {
 public:
  virtual ~TFlashReport() = default;
  virtual void Stage(const std::string& /*text*/) {}
  virtual void Progress(int /*position*/, int /*total*/) {}
  virtual void Times(const std::string& /*elapsed*/, const std::string& /*remaining*/) {}
  // The finish step is next: from here on the update must not be left.
  virtual void FinishStarts() {}
  // A failure line for the main window's log (file update).
  virtual void Log(const std::string& /*line*/) {}
};

enum class TFlashDriver {
  BuiltIn,  // update dialog: no echo in the log, "ERR" counts as a lost link, 45.3 s finish wait
  File,     // service menu: echo in the log, 15 s finish wait, a failure line in the log
};

enum class TFlashOutcome {
  Done,
  Empty,     // no blocks: nothing was sent
  NoLine,    // the connection's line could not be had (no connection, or a request still running)
  Stopped,   // the user stopped it
  LoaderFailed,
  EraseFailed,
  WriteFailed,
  FinishFailed,
};

// What the panel's program memory holds after a run.
enum class TPanelMemory {
  Intact,       // nothing was erased
  MaybeErased,  // "+BE" went out, but its answer was lost
  Erased,       // erased, in this run or in the one this run resumed: the panel cannot run
};

// Why the failed step failed.
enum class TStepFault {
  None,
  Refused,   // the panel answered, but not with the acknowledgement
  Silent,    // no answer within the time-out
  LineLost,  // the line went ("NO CARRIER", "DISCONNECT", "BUSY", the port)
};

struct TFlashResult {
  TFlashOutcome outcome = TFlashOutcome::Stopped;
  bool erased = false;       // "+BE" was accepted in this run
  int firstBlock = 0;        // the block the write phase started with
  int blocksAccepted = 0;    // in this run
  std::string failedBlock;   // number of the block that was not accepted
  TStepFault fault = TStepFault::None;
  TPanelMemory memory = TPanelMemory::Intact;
  bool finishSent = false;   // "+EE" went out (with a lost answer the panel may be programming)
  bool Ok() const { return outcome == TFlashOutcome::Done; }
  // The finish went out and its answer was lost with the line: the panel may have accepted it.
  bool FinishUnknown() const {
    return outcome == TFlashOutcome::FinishFailed && finishSent && fault != TStepFault::Refused;
  }
};

// Why an update failed, for the user (cp1251): the step, the cause and, when the panel's memory
// was erased, that the panel will not work until it is updated again and what to do.
std::string FailureText(const TFlashResult& result);
// The panel's memory was erased: what the user must know and do (cp1251).
std::string ErasedMemoryText();

// Protocol constants.
inline constexpr int kLoaderTimeoutMs = 2500;
inline constexpr int kEraseTimeoutMs = 15000;
inline constexpr int kWriteTimeoutMs = 5000;
inline constexpr int kFinishTimeoutMs = 15000;
inline constexpr int kTries = 3;
inline constexpr int kBuiltInFinishWaitMs = 45300;
inline constexpr int kFileFinishWaitMs = 15000;
inline constexpr int kProgressStepMs = 150;

// Progress total of an update of the given number of blocks.
int ProgressTotal(TFlashDriver driver, int blocks);

// Resume state back to the start (the tracking flag stays as it is).
void ResetResume(TFirmwareResume& resume);

// Where the next update of this image starts: a position of 1, 5, 9 ... (line or row). One
// past the last block means every block was acknowledged and only the finish is left.
int ResumePosition(const TFirmwareResume& resume, const std::vector<TBlock>& blocks);

// Adds a block's check byte to the accumulator the selector names, then advances it.
void Accumulate(std::array<std::uint8_t, 4>& checks, int& selector, std::uint8_t checkByte);

// Runs one update. The resume state is read at the start and kept up to date when its
// tracking flag is set. An acknowledged finish counts whatever happens to the line after it.
TFlashResult RunFlash(TFlashDriver driver, const std::vector<TBlock>& blocks, TFirmwareResume& resume,
                      TFlashLink& link, TFlashReport& report);

}  // namespace zorvan::firmware
