#pragma once
// The outputs page: the two open-collector outputs, switched at once by their links, and the
// siren's running time and cancel switch, written with the page.
#include "model/Page.h"

namespace zorvan {

// The siren time as the field keeps it: a non-negative decimal number up to 255, else "1".
std::string SirenTimeText(std::string_view text);

class TformOuts : public TformIncl {
 public:
  TformOuts(std::string id, std::string caption);

  void LoadFromIni(const TIniFile& ini) override;
  void SaveToIni(TIniFile& ini) const override;
  // The siren time travels as its text under a key of its own as well.
  bool FileHolds(const TIniFile& ini, const TControl& control) const override;
  void CheckFile(const TIniFile& ini, std::vector<TFileProblem>& problems) const override;

  // A link shows the action its output allows: "Включить" while off, "Выключить" while on.
  static void ShowOutput(TControl& link, bool on);

  ZORVAN_CONTROL(GroupBox1, K::GroupBox,
                 .caption = "Выход ОК1 (индикация состояния разделов, назначенных на кнопку \"Выход\")");
  ZORVAN_CONTROL(URLLabel1, K::LinkLabel, .caption = "Включить");
  ZORVAN_CONTROL(GroupBox2, K::GroupBox, .caption = "Выход ОК2 (сирена)");
  ZORVAN_CONTROL(URLLabel2, K::LinkLabel, .caption = "Включить");
  ZORVAN_CONTROL(SyrenTimeLabel, K::Label, .caption = "Длительность работы сирены, в секундах");
  ZORVAN_CONTROL(SyrenTimeComboBox, K::ComboBox, .hint = "120", .status = "SyrenTimeLabel",
                 .normalise = SirenTimeText, .items = {"30", "60", "120", "255"});
  ZORVAN_CONTROL(SyrenCancelCheckBox, K::CheckBox, .hint = "false", .status = "SyrenCancelLabel");
  ZORVAN_CONTROL(SyrenCancelLabel, K::Label,
                 .caption = "Выключение сирены при нажатии кнопки \"Отмена\" на клавиатуре");

 private:
  void AddParams();  // beside the operations that run them
};

}  // namespace zorvan
