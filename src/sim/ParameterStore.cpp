#include "sim/ParameterStore.h"

#include <stdexcept>

namespace zorvan::sim {

void TParameterStore::Add(const std::string& name, TEntry entry) {
  std::lock_guard lock(mutex_);
  if (!entries_.emplace(name, std::move(entry)).second)
    throw std::logic_error("virtual panel: the command \"+" + name + "\" is registered twice");
}

void TParameterStore::AddValue(const std::string& name, std::string initial) { Add(name, TEntry{{}, std::move(initial)}); }

void TParameterStore::AddHandler(const std::string& name, THandler handler) { Add(name, TEntry{std::move(handler), {}}); }

void TParameterStore::AddExactHandler(const std::string& name, THandler handler) {
  Add(name, TEntry{std::move(handler), {}, false});
}

void TParameterStore::Override(const std::string& name, THandler handler) {
  std::lock_guard lock(mutex_);
  entries_[name] = TEntry{std::move(handler), {}};
}

std::optional<std::string> TParameterStore::Value(const std::string& name) const {
  std::lock_guard lock(mutex_);
  auto found = entries_.find(name);
  if (found == entries_.end() || found->second.handler) return std::nullopt;
  return found->second.value;
}

void TParameterStore::SetValue(const std::string& name, std::string value) {
  std::lock_guard lock(mutex_);
  entries_[name].value = std::move(value);
}

std::optional<TAnswer> TParameterStore::Answer(const std::string& line) {
  if (line.size() < 2 || line[0] != '+') return std::nullopt;
  std::string body = line.substr(1);
  auto equals = body.find('=');
  std::string name = body.substr(0, equals);
  TCommand command{line, name, equals == std::string::npos ? "" : body.substr(equals + 1), equals != std::string::npos};
  THandler handler;
  {
    std::lock_guard lock(mutex_);
    auto found = entries_.find(name);
    if (found == entries_.end()) {
      // Commands that carry their argument without "=": the longest registered prefix.
      for (auto it = entries_.begin(); it != entries_.end(); ++it)
        if (it->second.handler && it->second.prefix && name.compare(0, it->first.size(), it->first) == 0 &&
            (found == entries_.end() || it->first.size() > found->first.size()))
          found = it;
      if (found == entries_.end()) return std::nullopt;
      command.argument = body.substr(found->first.size());
      command.name = found->first;
    }
    if (!found->second.handler) {
      if (command.write) {
        found->second.value = command.argument;
        return TAnswer::Ok();
      }
      return TAnswer::Ok(found->second.value);
    }
    handler = found->second.handler;
  }
  return handler(command);
}

}  // namespace zorvan::sim
