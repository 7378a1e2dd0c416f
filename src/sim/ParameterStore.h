#pragma once
// The virtual panel's parameters: a table from command name to a stored value or a handler.
// Each page adds its commands here.
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>

namespace zorvan::sim {

// One command line as the panel received it, without the carriage return.
struct TCommand {
  std::string line;      // "+o=0050"
  std::string name;      // "o": the registered name that matched
  std::string argument;  // "0050": the text after "=" (or after the name, for a prefix match)
  bool write = false;    // an "=" followed the name
};

struct TAnswer {
  enum class Kind { Ok, Err, Ign, Silent } kind = Kind::Ok;
  std::string value;  // sent before "OK" on a line of its own; empty for a bare "OK"
  static TAnswer Ok(std::string value = {}) { return {Kind::Ok, std::move(value)}; }
  static TAnswer Err() { return {Kind::Err, {}}; }
};

class TParameterStore {
 public:
  using THandler = std::function<TAnswer(const TCommand&)>;

  // Each name has one owner: registering a name a second time raises, so two pages that both
  // claim a command fail when the panel starts instead of one silently losing it.
  // A value that "+name" reads and "+name=value" replaces.
  void AddValue(const std::string& name, std::string initial);
  // Any command whose name is name or, failing an exact match, starts with name.
  void AddHandler(const std::string& name, THandler handler);
  // Only the command name itself: "+r" must not take "+rb", which starts with it.
  void AddExactHandler(const std::string& name, THandler handler);
  // Puts another answer in place of a registered one (a test's odd panel).
  void Override(const std::string& name, THandler handler);

  std::optional<std::string> Value(const std::string& name) const;
  void SetValue(const std::string& name, std::string value);

  // The answer to one line starting with "+"; nothing when no command matches.
  std::optional<TAnswer> Answer(const std::string& line);

 private:
  struct TEntry {
    THandler handler;  // empty: a stored value
    std::string value;
    bool prefix = true;  // a handler also answers names that start with its own
  };
  void Add(const std::string& name, TEntry entry);

  mutable std::mutex mutex_;
  std::map<std::string, TEntry> entries_;
};

}  // namespace zorvan::sim
