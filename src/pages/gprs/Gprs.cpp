#include "pages/gprs/Gprs.h"

#include <algorithm>

#include "base/Cp1251.h"

namespace zorvan {

char FilterServerPasswordKey(char key) {
  const bool letterOrDigit = (key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z') || (key >= 'a' && key <= 'z');
  return key == '\b' || letterOrDigit ? key : 0;
}

char FilterGprsTextKey(char key) {
  const auto byte = static_cast<unsigned char>(key);
  return key == '\b' || (byte >= 0x20 && byte < 0x7F) ? key : 0;
}

std::optional<std::string> ServerAddressRule(std::string_view text) {
  if (text.empty()) return std::string();
  const bool dotted = text.find_first_not_of("0123456789.") == std::string_view::npos;
  if (dotted) {
    // Four parts of one to three digits, each up to 255.
    int parts = 0;
    std::size_t at = 0;
    while (at <= text.size()) {
      const std::size_t dot = std::min(text.find('.', at), text.size());
      const std::string_view part = text.substr(at, dot - at);
      if (part.empty() || part.size() > 3 || std::stoi(std::string(part)) > 255) return std::nullopt;
      ++parts;
      at = dot + 1;
    }
    if (parts != 4) return std::nullopt;
    return std::string(text);
  }
  for (char c : text) {
    const bool allowed = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '.' ||
                         c == '-' || c == '_';
    if (!allowed) return std::nullopt;
  }
  if (text.front() == '.' || text.back() == '.' || text.find("..") != std::string_view::npos) return std::nullopt;
  return std::string(text);
}

std::optional<std::string> ServerPortRule(std::string_view text) {
  if (text.empty()) return std::string();
  if (text.size() > 5 || text.find_first_not_of("0123456789") != std::string_view::npos) return std::nullopt;
  const int port = std::stoi(std::string(text));
  if (port < 1 || port > 65535) return std::nullopt;
  return std::string(text);
}

std::string ServerPasswordText(std::string_view text) {
  std::string value(text);
  for (char& c : value)
    if (c == ' ') c = '0';
  return value;
}

TformGPRS::TformGPRS(std::string id, std::string caption) : TPlainPage(std::move(id), std::move(caption)) {
  ResolveStatusLabels();
  AddParams();
  // The fields start with their built-in defaults, which an empty field falls back to.
  for (const auto& c : Controls())
    if ((c->IsA(K::Edit) || c->IsA(K::MaskEdit)) && !c->Hint().empty()) c->SetText(c->Hint());
  cbTime.SetItemIndex(0);
}

std::vector<TControl*> TformGPRS::SimTwo() {
  return {&GroupBox2,   &lbetSIM2Phone, &etSIM2Phone, &lbetSIM2Addr, &etSIM2Addr,
          &lbetSIM2Login, &etSIM2Login, &lbetSIM2Pswd, &etSIM2Pswd};
}

void TformGPRS::SetDefaults() {
  cbTime.SetItemIndex(2);
  cbP.SetChecked(true);
  for (TControl* address : {&etServerAddr1, &etServerAddr2}) address->SetText("0.0.0.0");
  for (TControl* port : {&etServerPort1, &etServerPort2}) port->SetText("3058");
  for (TControl* password : {&etServerPswd1, &etServerPswd2}) password->SetText("MovaPeka");
  for (TControl* dial : {&etSIM1Phone, &etSIM2Phone}) dial->SetText("*99#");
  // Two operators' public access data, one for each card.
  etSIM1ADDR.SetText("internet.mts.ru");
  etSIM1LOGIN.SetText("mts");
  etSIM1PSWD.SetText("mts");
  etSIM2Addr.SetText("internet.beeline.ru");
  etSIM2Login.SetText("beeline");
  etSIM2Pswd.SetText("beeline");
}

void TformGPRS::AdaptToPanel(const TPanelIdentity& panel) {
  if (panel.family == 101) {
    GroupBox3.SetText(W("Настройки SIM"));
    GroupBox2.SetVisible(false);
    return;
  }
  GroupBox3.SetText(W("SIM 1"));
  GroupBox2.SetVisible(true);
  switch (panel.variant) {
    case 0:
      SetAllEnabled(false);
      break;
    case 3:  // one SIM card: the second group stays, read and written, but greyed
      SetAllEnabled(true);
      for (TControl* c : SimTwo()) c->SetEnabled(false);
      break;
    case 5:
      SetAllEnabled(true);
      break;
    default:
      break;
  }
}

}  // namespace zorvan
