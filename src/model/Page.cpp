#include "model/Page.h"

#include "base/Cp1251.h"
#include "base/ValueHelpers.h"

namespace zorvan {
namespace {

using K = TControlKind;

bool IsEditLike(const TControl& c) {
  return c.IsA(K::Edit) || c.IsA(K::MaskEdit) || c.IsA(K::SpinEdit);
}

void ClearMarks(TForm& page, bool forRead) {
  for (const auto& ptr : page.Controls()) {
    TControl& c = *ptr;
    switch (c.Kind()) {
      case K::Label:
        c.SetFontColor("clWindowText");
        c.SetFontStyle(fsRegular);
        break;
      case K::Edit:
        c.SetFontStyle(fsRegular);
        if (forRead) c.SetText("");
        break;
      case K::MaskEdit:
      case K::SpinEdit:
        c.SetFontStyle(fsRegular);
        break;
      case K::CheckBox:
        c.SetFontStyle(fsRegular);
        if (forRead) c.SetChecked(false);
        if (c.Text() == "!") c.SetText("");
        break;
      case K::RadioButton:
        c.SetFontStyle(fsRegular);
        if (c.Text() == "!") c.SetText("");
        break;
      default:
        break;
    }
  }
}

}  // namespace

// Takes what the page's section holds and the control can take; the rest stays as it is.
static void LoadPage(const TIniFile& ini, TPage& page) {
  if (!FileHoldsPage(ini, page)) return;
  for (const auto& ptr : page.Controls()) {
    TControl& c = *ptr;
    const auto value = FileValue(ini, page, c);
    if (!value) continue;
    switch (page.StoredAs(c)) {
      case TStored::Text:
        // A spin edit keeps its number when the file holds none.
        if (c.IsA(K::SpinEdit) && value->empty()) break;
        c.SetText(*value);
        break;
      case TStored::Flag:
        c.SetChecked(*value == "1");
        break;
      case TStored::Index:
        c.SetItemIndex(std::stoi(*value));
        break;
      case TStored::None:
        break;
    }
  }
}

bool HintAsBool(std::string_view hint, bool& value) {
  const std::string lower = Cp1251Lower(TrimBlanks(hint));
  if (lower == "true") return value = true, true;
  if (lower == "false") return value = false, true;
  int n = 0;
  if (!ParseInteger(lower, n)) return false;
  value = n != 0;
  return true;
}

void TformIncl::ClearPage() {
  for (const auto& ptr : Controls()) {
    TControl& c = *ptr;
    if (c.IsA(K::Label)) {
      c.SetFontColor("clWindowText");
      c.SetFontStyle(fsRegular);
    }
    if (c.IsA(K::Edit)) c.SetText("");
    if (c.IsA(K::CheckBox)) c.SetChecked(false);
    if (IsEditLike(c) || c.IsA(K::CheckBox) || c.IsA(K::RadioButton)) c.SetFontStyle(fsRegular);
  }
}

void TformIncl::ResetMarks() {
  for (const auto& ptr : Controls()) {
    TControl& c = *ptr;
    if (c.IsA(K::Label)) c.SetFontColor("clWindowText");
    if (c.IsA(K::Label) || IsEditLike(c) || c.IsA(K::CheckBox) || c.IsA(K::RadioButton))
      c.SetFontStyle(fsRegular);
  }
}

void TformIncl::SaveToIni(TIniFile& ini) const {
  if (Section().empty()) return;
  for (const auto& ptr : Controls()) {
    const TControl& c = *ptr;
    if (IsEditLike(c)) ini.WriteString(Section(), c.Name(), c.Text());
    else if (c.IsA(K::CheckBox) || c.IsA(K::RadioButton)) ini.WriteBool(Section(), c.Name(), c.Checked());
    else if (c.IsA(K::ComboBox)) ini.WriteInteger(Section(), c.Name(), c.ItemIndex());
  }
}

TStored TformIncl::StoredAs(const TControl& c) const {
  if (IsEditLike(c)) return TStored::Text;
  if (c.IsA(K::CheckBox) || c.IsA(K::RadioButton)) return TStored::Flag;
  if (c.IsA(K::ComboBox)) return TStored::Index;
  return TStored::None;
}

void TformIncl::LoadFromIni(const TIniFile& ini) { LoadPage(ini, *this); }

void TformIncl::ShowStartValues() {
  for (const auto& ptr : Controls()) {
    TControl& c = *ptr;
    if (c.IsA(K::Edit)) {
      c.SetText(c.Hint());
    } else if (c.IsA(K::CheckBox)) {
      c.SetChecked(false);
    } else if (c.IsA(K::RadioButton)) {
      bool on = false;
      HintAsBool(c.Hint(), on);
      c.SetChecked(on);
    } else if (c.IsA(K::ComboBox)) {
      c.SetItemIndex(0);
    }
  }
}

void TformIncl::SetDefaults() {
  for (const auto& ptr : Controls()) {
    TControl& c = *ptr;
    if (IsEditLike(c)) {
      c.SetText(c.Hint());
    } else if (c.IsA(K::CheckBox) || c.IsA(K::RadioButton)) {
      bool value = false;
      if (HintAsBool(c.Hint(), value)) c.SetChecked(value);
    } else if (c.IsA(K::ComboBox) || c.IsA(K::ComboBoxEx)) {
      int found = -1;
      for (std::size_t i = 0; i < c.Items().size() && found < 0; ++i)
        if (c.Items()[i] == c.Hint()) found = static_cast<int>(i);
      c.SetItemIndex(found);
    }
  }
}

void SavePlainPage(TIniFile& ini, const TPage& page, TListStorage lists) {
  const std::string s = page.Section();
  if (s.empty()) return;
  const bool asText = lists == TListStorage::ShownText;
  for (const auto& ptr : page.Controls()) {
    const TControl& c = *ptr;
    if (IsEditLike(c)) ini.WriteString(s, c.Name(), c.Text());
    else if (c.IsA(K::CheckBox) || c.IsA(K::RadioButton)) ini.WriteBool(s, c.Name(), c.Checked());
    else if (c.IsA(K::ComboBox) && asText) ini.WriteString(s, c.Name(), c.Text());
    else if (c.IsA(K::ComboBox) || c.IsA(K::ComboBoxEx)) ini.WriteInteger(s, c.Name(), c.ItemIndex());
  }
}

TStored TPlainPage::StoredAs(const TControl& c) const {
  if (IsEditLike(c)) return TStored::Text;
  if (c.IsA(K::CheckBox) || c.IsA(K::RadioButton)) return TStored::Flag;
  if (c.IsA(K::ComboBox)) return lists_ == TListStorage::ShownText ? TStored::Text : TStored::Index;
  if (c.IsA(K::ComboBoxEx)) return TStored::Index;
  return TStored::None;
}

void TPlainPage::LoadFromIni(const TIniFile& ini) { LoadPage(ini, *this); }
void TPlainPage::SaveToIni(TIniFile& ini) const { SavePlainPage(ini, *this, lists_); }

bool TPage::FileHolds(const TIniFile& ini, const TControl& control) const {
  return ini.ValueExists(Section(), control.Name());
}

std::optional<std::string> FileValue(const TIniFile& ini, const TPage& page, const TControl& c, std::string* why) {
  const TStored stored = page.StoredAs(c);
  if (stored == TStored::None || !ini.ValueExists(page.Section(), c.Name())) return std::nullopt;
  const std::string s = page.Section();
  switch (stored) {
    case TStored::Text:
      return AcceptValue(c, ini.ReadString(s, c.Name(), ""), why);
    case TStored::Flag: {
      const bool value = ini.ReadBool(s, c.Name(), false);
      if (value != ini.ReadBool(s, c.Name(), true)) break;
      return value ? "1" : "0";
    }
    case TStored::Index: {
      const int index = ini.ReadInteger(s, c.Name(), -2);
      if (index != ini.ReadInteger(s, c.Name(), -3) || index < -1 || index >= static_cast<int>(c.Items().size()))
        break;
      return std::to_string(index);
    }
    case TStored::None:
      break;
  }
  if (why) *why = W("недопустимое значение");
  return std::nullopt;
}

namespace {

// What the page's parameter table would send for the value: nothing when the panel cannot
// take it (a number out of range, an item that is none).
bool Sendable(const TPage& page, const TControl& c, const std::string& value) {
  for (const TParam& param : page.Params()) {
    if (param.field != &c || !param.codec) continue;
    TFieldState state;
    state.text = value;
    state.checked = value == "1";
    state.itemIndex = -1;
    if (page.StoredAs(c) == TStored::Index) {
      state.itemIndex = std::stoi(value);
      if (state.itemIndex >= 0) state.text = c.Items()[static_cast<std::size_t>(state.itemIndex)];
    } else {
      for (std::size_t i = 0; i < c.Items().size(); ++i)
        if (c.Items()[i] == value) state.itemIndex = static_cast<int>(i);
    }
    if (!param.codec->Encode(state)) return false;
  }
  return true;
}

}  // namespace

void TPage::CheckFile(const TIniFile& ini, std::vector<TFileProblem>& problems) const {
  if (!FileHoldsPage(ini, *this)) return;
  for (const auto& ptr : Controls()) {
    const TControl& c = *ptr;
    if (StoredAs(c) == TStored::None || !ini.ValueExists(Section(), c.Name())) continue;
    std::string why;
    const auto value = FileValue(ini, *this, c, &why);
    if (value && !Sendable(*this, c, *value)) why = W("вне допустимого диапазона");
    if (!value || !why.empty()) problems.push_back({c.Name(), ini.ReadString(Section(), c.Name(), ""), why});
  }
}

std::vector<std::string> TPage::MissingKeys(const TIniFile& ini) const {
  std::vector<std::string> missing;
  if (!FileHoldsPage(ini, *this)) return missing;
  for (const auto& ptr : Controls())
    if (StoredAs(*ptr) != TStored::None && !FileHolds(ini, *ptr)) missing.push_back(ptr->Name());
  return missing;
}

bool FileHoldsPage(const TIniFile& ini, const TPage& page) {
  const std::string section = page.Section();
  return !section.empty() && ini.SectionExists(section);
}

void ClearPageForRead(TForm& page) { ClearMarks(page, true); }
void ClearPageForWrite(TForm& page) { ClearMarks(page, false); }

}  // namespace zorvan
