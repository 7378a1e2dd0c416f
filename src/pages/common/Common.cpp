#include "pages/common/Common.h"

#include "base/Cp1251.h"
#include "link/RequestCodes.h"

namespace zorvan {

using K = TControlKind;

TformCommon::TformCommon() : TformIncl("formCommon", W("Общие настройки")) {
  Add("GroupBox1", K::GroupBox).SetText(W("Объект"));
  Add("etO", K::Edit, "0050").SetMaxLength(4);
  Add("lbO", K::Label).SetText(W("Номер объекта"));
  Add("GroupBox3", K::GroupBox).SetText(W("Мастер-код"));
  Add("etKey", K::Edit, "5281").SetMaxLength(4);
  Add("lbKey", K::Label).SetText(W("Код для входа в режим программирования"));
  TControl& imeiGroup = Add("IMEIidentGroup", K::GroupBox);
  imeiGroup.SetText(W("Протокол IMEI ident"));
  imeiGroup.SetVisible(false);
  // The check box has no caption of its own: its status label carries it.
  Add("ChIMEI", K::CheckBox);
  Add("LIMEI", K::Label).SetText(W("Задейстовать"));
  TControl& signalGroup = Add("GroupBox2", K::GroupBox);
  signalGroup.SetText(W("Сигнал GSM"));
  signalGroup.SetPosition(kSignalGroupTwoRows);
  Add("Label1", K::Label).SetText(W("Уровень сигнала SIM1"));
  Add("GSMSig", K::Gauge).SetEnabled(false);
  Add("URLLabel5", K::LinkLabel).SetText(W("Тест"));
  Add("Label2", K::Label).SetText(W("Уровень сигнала SIM2"));
  Add("GSMErr", K::Gauge).SetEnabled(false);
  Add("URLLabel6", K::LinkLabel).SetText(W("Тест"));
  (*this)["URLLabel5"].SetEnabled(false);
  (*this)["URLLabel6"].SetEnabled(false);
  Add("URLLabel1", K::LinkLabel).SetText(W("Остановить прибор"));
  Add("URLLabel2", K::LinkLabel).SetText(W("Перезагрузить прибор"));
  Add("URLLabel3", K::LinkLabel).SetText(W("Запустить прибор"));
  Add("URLLabel4", K::LinkLabel).SetText(W("Тест светодиодов панели"));

  auto post = [this](std::uint8_t code) { return [this, code](TControl&) { if (postRequest) postRequest(code); }; };
  (*this)["URLLabel1"].onClick = post(request::kStopPanel);
  (*this)["URLLabel3"].onClick = post(request::kStartPanel);
  (*this)["URLLabel4"].onClick = post(request::kLedTest);
  (*this)["URLLabel5"].onClick = post(request::kSelectSim1);
  (*this)["URLLabel6"].onClick = post(request::kSelectSim2);
  (*this)["URLLabel2"].onClick = [this](TControl&) {
    if (postRequest && postRequest(request::kRebootPanel) && reconnect) reconnect();
  };
}

void TformCommon::SetAllEnabled(bool enabled) {
  for (const auto& c : Controls()) c->SetEnabled(enabled);
}

void TformCommon::AdaptToPanel(const TPanelIdentity& panel) {
  TformCommon& page = *this;
  if (panel.family == 101) {
    for (const char* name : {"IMEIidentGroup", "URLLabel4", "URLLabel5", "URLLabel6", "GSMErr", "Label2"})
      page[name].SetVisible(false);
    page["GroupBox2"].SetPosition(kSignalGroupOneRow);
    return;
  }
  for (const char* name : {"URLLabel4", "URLLabel5", "URLLabel6", "GSMErr", "Label2"}) page[name].SetVisible(true);
  page["GroupBox2"].SetPosition(kSignalGroupTwoRows);
  const bool imei = HasImeiIdent(panel.family, panel.build);
  switch (panel.variant) {
    case 0:
      SetAllEnabled(false);  // read-only: this panel can only be updated
      break;
    case 3:  // one SIM card
      SetAllEnabled(true);
      for (const char* name : {"Label2", "GSMErr", "URLLabel5", "URLLabel6"}) page[name].SetEnabled(false);
      page["IMEIidentGroup"].SetVisible(imei);
      break;
    case 5:  // two SIM cards
      SetAllEnabled(true);
      page["IMEIidentGroup"].SetVisible(imei);
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

char FilterMasterCodeKey(char key) {
  if (key == '\b' || (key >= '0' && key <= '9')) return key;
  return 0;
}

bool HasImeiIdent(int family, int build) { return family == 9 && build >= 2 && build <= 999; }

}  // namespace zorvan
