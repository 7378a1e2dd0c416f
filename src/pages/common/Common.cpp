#include "pages/common/Common.h"

#include "link/RequestCodes.h"

namespace zorvan {

TformCommon::TformCommon(std::string id, std::string caption) : TformIncl(std::move(id), std::move(caption)) {
  ResolveStatusLabels();
  AddParams();
  auto post = [this](std::uint8_t code) { return [this, code](TControl&) { PostRequest(code); }; };
  URLLabel1.onClick = post(request::kStopPanel);
  URLLabel3.onClick = post(request::kStartPanel);
  URLLabel4.onClick = post(request::kLedTest);
  URLLabel5.onClick = post(request::kSelectSim1);
  URLLabel6.onClick = post(request::kSelectSim2);
  URLLabel2.onClick = [this](TControl&) {
    if (PostRequest(request::kRebootPanel) && reconnect) reconnect();
  };
}

void TformCommon::AdaptToPanel(const TPanelIdentity& panel) {
  if (panel.family == 101) {
    for (TControl* c : {&IMEIidentGroup, &URLLabel4, &URLLabel5, &URLLabel6, &GSMErr, &Label2}) c->SetVisible(false);
    GroupBox2.SetPosition(kSignalGroupOneRow);
    return;
  }
  for (TControl* c : {&URLLabel4, &URLLabel5, &URLLabel6, &GSMErr, &Label2}) c->SetVisible(true);
  GroupBox2.SetPosition(kSignalGroupTwoRows);
  const bool imei = HasImeiIdent(panel.family, panel.build);
  switch (panel.variant) {
    case 0:
      SetAllEnabled(false);  // read-only: this panel can only be updated
      break;
    case 3:  // one SIM card
      SetAllEnabled(true);
      for (TControl* c : {&Label2, &GSMErr, &URLLabel5, &URLLabel6}) c->SetEnabled(false);
      IMEIidentGroup.SetVisible(imei);
      break;
    case 5:  // two SIM cards
      SetAllEnabled(true);
      IMEIidentGroup.SetVisible(imei);
      break;
    default:
      break;
  }
}

char FilterObjectNumberKey(char key) {
  if (key == '\b' || (key >= '0' && key <= '9') || (key >= 'A' && key <= 'F')) return key;
  if (key >= 'a' && key <= 'f') return static_cast<char>(key - 'a' + 'A');
  return 0;
}

bool HasImeiIdent(int family, int build) { return family == 9 && build >= 2 && build <= 999; }

}  // namespace zorvan
