#include "sim/BootLoader.h"

#include "firmware/BuiltInImages.h"
#include "link/Clock.h"

namespace zorvan::sim {
namespace {

bool IsHex(const std::string& text) {
  for (char c : text)
    if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))) return false;
  return !text.empty();
}

}  // namespace

TBootLoader::TBootLoader(TBootLoaderOptions options, std::string version)
    : options_(std::move(options)), version_(std::move(version)) {
  // The built-in images come back as their own versions ("REV 09.005.007" -> "09.005.007").
  for (int number = 1; number <= 2; ++number) {
    const auto lines = firmware::LoadBuiltInImage(number);
    if (lines.empty()) continue;
    known_[firmware::ImageFingerprint(firmware::BuiltInBlocks(lines))] = lines[0].substr(4);
  }
}

void TBootLoader::SetOptions(TBootLoaderOptions options) {
  std::lock_guard lock(mutex_);
  options_ = std::move(options);
}

void TBootLoader::AddKnownImage(const std::string& version, std::uint64_t fingerprint) {
  std::lock_guard lock(mutex_);
  known_[fingerprint] = version;
}

bool TBootLoader::Programming() {
  std::lock_guard lock(mutex_);
  if (programmedAtMs_ < 0) return false;
  if (NowMs() < programmedAtMs_) return true;
  // The restart after programming: the new firmware runs.
  programmedAtMs_ = -1;
  if (!pendingVersion_.empty()) version_ = pendingVersion_;
  pendingVersion_.clear();
  loader_ = false;
  blocks_.clear();
  return false;
}

std::string TBootLoader::Version() {
  std::lock_guard lock(mutex_);
  return version_;
}

bool TBootLoader::InLoader() {
  std::lock_guard lock(mutex_);
  return loader_;
}

int TBootLoader::Erases() {
  std::lock_guard lock(mutex_);
  return erases_;
}

std::vector<int> TBootLoader::StoredBlocks() {
  std::lock_guard lock(mutex_);
  std::vector<int> indexes;
  for (const auto& entry : blocks_) indexes.push_back(entry.first);
  return indexes;
}

std::optional<TLoaderAnswer> TBootLoader::Handle(const std::string& line) {
  std::lock_guard lock(mutex_);
  if (line == "+BL") {
    loader_ = true;
    return TLoaderAnswer{"OK\r", 50, false};
  }
  if (line == "+BE") {
    if (!loader_ || options_.eraseErr) return TLoaderAnswer{"ERR\r", 0, false};
    ++erases_;
    blocks_.clear();
    return TLoaderAnswer{"OK\r", options_.eraseMs, false};
  }
  // A block's number follows "+W" at once; "+WI" and the like are the panel's own commands.
  if (line.rfind("+W", 0) == 0 && line.size() > 2 && IsHex(line.substr(2, 1))) return Write(line);
  if (line.rfind("+EE", 0) == 0) return Finish(line);
  return std::nullopt;
}

std::optional<TLoaderAnswer> TBootLoader::Write(const std::string& line) {
  // "+W" NNNN ":" 128 digits ":" CC
  const TLoaderAnswer refused{"ERR\r", 0, false};
  if (!loader_ || line.size() != 2 + 4 + 1 + 128 + 1 + 2 || line[6] != ':' || line[135] != ':') return refused;
  const std::string number = line.substr(2, 4);
  const std::string data = line.substr(7, 128);
  const std::string check = line.substr(136, 2);
  if (!IsHex(number) || !IsHex(data) || !IsHex(check)) return refused;
  if (firmware::BlockCheckByte(data) != check) return refused;
  const int start = std::stoi(number, nullptr, 16);
  if (start % 4 != 0 || number == options_.refuseBlock) return refused;
  blocks_[start / 4] = data;
  ++acknowledged_;
  TLoaderAnswer answer{number + "\rOK\r", options_.writeMs, false};
  if (!dropped_ && options_.dropAfterBlocks >= 0 && acknowledged_ >= options_.dropAfterBlocks) {
    dropped_ = true;
    answer.dropCall = true;
  }
  return answer;
}

std::optional<TLoaderAnswer> TBootLoader::Finish(const std::string& line) {
  const TLoaderAnswer refused{"ERR\r", options_.finishMs, false};
  if (!loader_ || blocks_.empty()) return refused;
  std::uint8_t checks[4] = {};
  std::vector<firmware::TBlock> image;
  int expected = 0;
  for (const auto& [index, data] : blocks_) {
    if (index != expected++) return refused;  // a hole in the image
    checks[(index % 8) / 2] = static_cast<std::uint8_t>(checks[(index % 8) / 2] ^ firmware::BlockCheckValue(data));
    image.push_back({firmware::Hex(static_cast<unsigned>(index * 4), 4), data});
  }
  std::string command = "+EE";
  for (auto c : checks) command += firmware::Hex(c, 2);
  if (line != command) return refused;
  auto known = known_.find(firmware::ImageFingerprint(image));
  pendingVersion_ = known == known_.end() ? std::string() : known->second;
  programmedAtMs_ = NowMs() + options_.finishMs + options_.programMs;
  TLoaderAnswer answer{"OK\r", options_.finishMs, false};
  answer.hangUp = options_.dropAfterFinish;
  return answer;
}

}  // namespace zorvan::sim
