#include "pages/gprs/GprsPanel.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "model/Codecs.h"
#include "sim/ParameterStore.h"

namespace zorvan {
namespace {

struct TGprsState {
  std::mutex mutex;
  std::map<std::string, std::string> values;
};

bool LettersOrDigits(const std::string& text) {
  for (char c : text)
    if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))) return false;
  return true;
}

}  // namespace

void AddGprsCommands(sim::TParameterStore& store) {
  auto state = std::make_shared<TGprsState>();
  struct TRule {
    const char* name;
    std::size_t maxLength;
    const char* initial;
    bool (*valid)(const std::string&);
  };
  auto any = [](const std::string&) { return true; };
  auto digits = [](const std::string& v) { return !v.empty() && ParseDecimal(v).has_value(); };
  auto password = [](const std::string& v) { return v.size() == 8 && LettersOrDigits(v); };
  auto pause = [](const std::string& v) {
    const auto value = v.size() == 4 ? ParseDecimal(v) : std::nullopt;
    return value && *value >= 100 && *value <= 1000 && *value % 100 == 0;
  };
  auto flag = [](const std::string& v) { return v == "0" || v == "1"; };
  const TRule rules[] = {
      {"GC1", 8, "*99#", any},           {"GC2", 8, "*99#", any},           {"GN1", 32, "internet", any},
      {"GN2", 32, "internet", any},      {"GU1", 16, "", any},              {"GU2", 16, "", any},
      {"GP1", 16, "", any},              {"GP2", 16, "", any},              {"GS1", 63, "0.0.0.0", any},
      {"GS2", 63, "0.0.0.0", any},       {"GG1", 5, "3058", digits},        {"GG2", 5, "3058", digits},
      {"GI1", 8, "MovaPeka", password},  {"GI2", 8, "MovaPeka", password},  {"GT", 4, "0100", pause},
      {"P", 1, "0", flag},
  };
  for (const TRule& rule : rules) {
    state->values[rule.name] = rule.initial;
    const std::string name = rule.name;
    const std::size_t maxLength = rule.maxLength;
    bool (*valid)(const std::string&) = rule.valid;
    store.AddHandler(name, [state, name, maxLength, valid](const sim::TCommand& c) {
      std::lock_guard lock(state->mutex);
      if (!c.write) return sim::TAnswer::Ok(state->values[name]);
      if (c.argument.size() > maxLength || !valid(c.argument)) return sim::TAnswer::Err();
      state->values[name] = c.argument;
      return sim::TAnswer::Ok();
    });
  }
}

}  // namespace zorvan
