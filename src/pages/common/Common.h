#pragma once
// The general settings page: object number, master code, IMEI ident switch, the GSM
// signal gauges of both SIM cards and the panel's service links.
#include <functional>

#include "model/KeyFilters.h"
#include "model/Page.h"

namespace zorvan {

// Key filters of the edits: the character to insert, or 0 to discard the key.
// Backspace ('\b') passes both.
char FilterObjectNumberKey(char key);

class TformCommon : public TformIncl {
 public:
  TformCommon(std::string id, std::string caption);

  void AdaptToPanel(const TPanelIdentity& panel) override;

  // Restart: the panel reboots, the connection ends and is opened again.
  std::function<void()> reconnect;

  // Heights of the group "Сигнал GSM"; its Position carries the height for the view.
  static constexpr int kSignalGroupTwoRows = 90;
  static constexpr int kSignalGroupOneRow = 58;

  ZORVAN_CONTROL(GroupBox1, K::GroupBox, .caption = "Объект");
  ZORVAN_CONTROL(etO, K::Edit, .hint = "0050", .maxLength = 4, .keys = FilterObjectNumberKey, .status = "lbO");
  ZORVAN_CONTROL(lbO, K::Label, .caption = "Номер объекта");
  ZORVAN_CONTROL(GroupBox3, K::GroupBox, .caption = "Мастер-код");
  ZORVAN_CONTROL(etKey, K::Edit, .hint = "5281", .maxLength = 4, .keys = FilterDigitKey, .status = "lbKey");
  ZORVAN_CONTROL(lbKey, K::Label, .caption = "Код для входа в режим программирования");
  ZORVAN_CONTROL(IMEIidentGroup, K::GroupBox, .caption = "Протокол IMEI ident", .state = csHidden);
  // The check box has no caption of its own: its status label carries it.
  ZORVAN_CONTROL(ChIMEI, K::CheckBox, .status = "LIMEI");
  ZORVAN_CONTROL(LIMEI, K::Label, .caption = "Задейстовать");
  ZORVAN_CONTROL(GroupBox2, K::GroupBox, .caption = "Сигнал GSM", .position = kSignalGroupTwoRows);
  ZORVAN_CONTROL(Label1, K::Label, .caption = "Уровень сигнала SIM1");
  ZORVAN_CONTROL(GSMSig, K::Gauge, .state = csDisabled);
  ZORVAN_CONTROL(URLLabel5, K::LinkLabel, .caption = "Тест", .state = csDisabled);
  ZORVAN_CONTROL(Label2, K::Label, .caption = "Уровень сигнала SIM2");
  ZORVAN_CONTROL(GSMErr, K::Gauge, .state = csDisabled);
  ZORVAN_CONTROL(URLLabel6, K::LinkLabel, .caption = "Тест", .state = csDisabled);
  ZORVAN_CONTROL(URLLabel1, K::LinkLabel, .caption = "Остановить прибор");
  ZORVAN_CONTROL(URLLabel2, K::LinkLabel, .caption = "Перезагрузить прибор");
  ZORVAN_CONTROL(URLLabel3, K::LinkLabel, .caption = "Запустить прибор");
  ZORVAN_CONTROL(URLLabel4, K::LinkLabel, .caption = "Тест светодиодов панели");

 private:
  void AddParams();  // beside the operations that run them
};

// The IMEI ident protocol exists on family 9 from build 2 to 999.
bool HasImeiIdent(int family, int build);


}  // namespace zorvan
