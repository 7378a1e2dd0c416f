#pragma once
// The virtual panel's boot loader: "+BL" enters it, "+BE" erases, "+W" blocks are stored
// and acknowledged with their number, "+EE" is checked against the check bytes of what was
// stored; then the panel programs itself (silent meanwhile) and comes back with the new
// version when the image is one it knows. What it holds survives a dropped call.
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace zorvan::sim {

struct TBootLoaderOptions {
  std::string refuseBlock;   // block number ("0008") always answered "ERR"
  int dropAfterBlocks = -1;  // the call drops once, right after this many acknowledged blocks
  bool eraseErr = false;     // "+BE" answered "ERR"
  bool dropAfterFinish = false;  // the call drops right after "+EE" was acknowledged
  // How long the flash work takes, in protocol milliseconds.
  int eraseMs = 4000;
  int writeMs = 20;
  int finishMs = 300;
  int programMs = 40000;
};

struct TLoaderAnswer {
  std::string text;        // after the echo: "OK\r", "0004\rOK\r" or "ERR\r"
  int workMs = 0;          // between the echo and the answer
  bool dropCall = false;   // the carrier goes after the answer: the next line meets NO CARRIER
  bool hangUp = false;     // the carrier goes with the answer: "NO CARRIER" follows it at once
};

class TBootLoader {
 public:
  TBootLoader(TBootLoaderOptions options, std::string version);

  // Nothing when the line is no loader command.
  std::optional<TLoaderAnswer> Handle(const std::string& line);
  // Reprogramming after an accepted finish: the panel answers nothing.
  bool Programming();
  // What "+v" reports.
  std::string Version();

  // For tests.
  bool InLoader();
  int Erases();
  std::vector<int> StoredBlocks();  // block indexes
  void SetOptions(TBootLoaderOptions options);
  // The versions of the images the loader recognises, by their whole data.
  void AddKnownImage(const std::string& version, std::uint64_t fingerprint);

 private:
  std::optional<TLoaderAnswer> Write(const std::string& line);
  std::optional<TLoaderAnswer> Finish(const std::string& line);

  std::mutex mutex_;
  TBootLoaderOptions options_;
  std::string version_;
  std::string pendingVersion_;
  bool loader_ = false;
  int erases_ = 0;
  int acknowledged_ = 0;
  bool dropped_ = false;
  std::int64_t programmedAtMs_ = -1;
  std::map<int, std::string> blocks_;
  std::map<std::uint64_t, std::string> known_;
};

}  // namespace zorvan::sim
