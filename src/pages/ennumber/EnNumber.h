#pragma once
// The engineer numbers page: up to five telephone numbers from which the panel accepts remote
// configuration, and the switch that allows it from any number.
#include "model/Page.h"

namespace zorvan {

// Digits, "+", "W" and "w" (a dialling pause) and backspace.
char FilterEngineerNumberKey(char key);

class TFormEnNumber : public TPlainPage {
 public:
  TFormEnNumber(std::string id, std::string caption);

  void SetDefaults() override;
  bool ClearForRead() override;

  ZORVAN_CONTROL(GroupBox1, K::GroupBox, .caption = "Номера, с которых разрешена настройка прибора");
  ZORVAN_CONTROL(cbEnNumber, K::CheckBox, .status = "lbEnNumber");
  ZORVAN_CONTROL(lbEnNumber, K::Label, .caption = "Разрешить настройку прибора с любого номера");
  ZORVAN_CONTROLS(lN, 5, K::Label, .caption = "Номер %d");
  ZORVAN_CONTROLS(etN, 5, K::Edit, .maxLength = 20, .keys = FilterEngineerNumberKey, .status = "lN%d");

 private:
  // The numbers are for the engineers only while any number may not configure the panel.
  void ApplyAnyNumber();
};


}  // namespace zorvan
