#include "pages/ennumber/EnNumber.h"

#include "pages/ennumber/EnNumberOperations.h"

namespace zorvan {

char FilterEngineerNumberKey(char key) {
  if (key == '\b' || (key >= '0' && key <= '9') || key == '+' || key == 'W' || key == 'w') return key;
  return 0;
}

TFormEnNumber::TFormEnNumber(std::string id, std::string caption) : TPlainPage(std::move(id), std::move(caption)) {
  ResolveStatusLabels();
  AddParam(AnyNumberParam(cbEnNumber));
  for (int k = 0; k < etN.Count(); ++k) AddParam(EngineerNumberParam(etN[k + 1], k));
  cbEnNumber.OnChange([this](TControl&) { ApplyAnyNumber(); });
  ApplyAnyNumber();
}

void TFormEnNumber::ApplyAnyNumber() {
  const bool any = cbEnNumber.Checked();
  for (TControl* number : etN) {
    number->SetEnabled(!any);
    number->SetBackColor(any ? "clBtnFace" : "clWindow");
  }
}

void TFormEnNumber::SetDefaults() {
  ClearForRead();
  cbEnNumber.SetChecked(true);
}

bool TFormEnNumber::ClearForRead() {
  for (TControl* number : etN) number->SetText("");
  return true;
}

}  // namespace zorvan
