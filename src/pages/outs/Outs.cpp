#include "pages/outs/Outs.h"

#include "base/Cp1251.h"
#include "link/RequestCodes.h"
#include "model/Codecs.h"

namespace zorvan {
namespace {

const char kSirenTimeKey[] = "SyrenTimeComboBoxText";

}  // namespace

std::string SirenTimeText(std::string_view text) {
  const auto value = ParseDecimal(text);
  if (!value) return "1";
  return *value > 255 ? "255" : std::to_string(*value);
}

TformOuts::TformOuts(std::string id, std::string caption) : TformIncl(std::move(id), std::move(caption)) {
  ResolveStatusLabels();
  AddParams();
  // The action's colour follows the caption, whoever sets it (a click, a read).
  for (TControl* link : {&URLLabel1, &URLLabel2}) {
    link->OnChange([](TControl& c) { c.SetFontColor(c.Text() == W("Выключить") ? "clRed" : "clGreen"); });
    ShowOutput(*link, false);
  }
  // A link switches its output at once; it flips to the next action while the worker asks
  // the panel. Without a connection nothing happens.
  auto link = [this](std::uint8_t request) {
    return [this, request](TControl& clicked) {
      if (!PostRequest(request)) return;
      ShowOutput(clicked, clicked.Text() == W("Включить"));
    };
  };
  URLLabel1.onClick = link(request::kSwitchOutput1);
  URLLabel2.onClick = link(request::kSwitchOutput2);
}

void TformOuts::ShowOutput(TControl& link, bool on) {
  link.SetText(on ? W("Выключить") : W("Включить"));
  link.SetFontColor(on ? "clRed" : "clGreen");
}

void TformOuts::SaveToIni(TIniFile& ini) const {
  TformIncl::SaveToIni(ini);
  ini.WriteString(Section(), kSirenTimeKey, SyrenTimeComboBox.Text());
}

void TformOuts::LoadFromIni(const TIniFile& ini) {
  TformIncl::LoadFromIni(ini);
  // After the item index, so that a time that is not one of the items survives.
  if (!ini.ValueExists(Section(), kSirenTimeKey)) return;
  if (const auto text = AcceptValue(SyrenTimeComboBox, ini.ReadString(Section(), kSirenTimeKey, "")))
    SyrenTimeComboBox.SetText(*text);
}

bool TformOuts::FileHolds(const TIniFile& ini, const TControl& control) const {
  return TformIncl::FileHolds(ini, control) || (&control == &SyrenTimeComboBox && ini.ValueExists(Section(), kSirenTimeKey));
}

void TformOuts::CheckFile(const TIniFile& ini, std::vector<TFileProblem>& problems) const {
  TformIncl::CheckFile(ini, problems);
  if (!ini.ValueExists(Section(), kSirenTimeKey)) return;
  const std::string text = ini.ReadString(Section(), kSirenTimeKey, "");
  std::string why;
  if (!AcceptValue(SyrenTimeComboBox, text, &why)) problems.push_back({kSirenTimeKey, text, why});
}

}  // namespace zorvan
