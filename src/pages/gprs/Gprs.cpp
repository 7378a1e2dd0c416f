#include "pages/gprs/Gprs.h"

#include "base/Cp1251.h"

namespace zorvan {

char FilterServerPasswordKey(char key) {
  const bool letterOrDigit = (key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z') || (key >= 'a' && key <= 'z');
  return key == '\b' || letterOrDigit ? key : 0;
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
  for (TControl* password : {&etServerPswd1, &etServerPswd2})
    password->OnChange([](TControl& field) {
      const std::string kept = ServerPasswordText(field.Text());
      if (kept != field.Text()) field.SetText(kept);
    });
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
