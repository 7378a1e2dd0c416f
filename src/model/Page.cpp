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
  for (const auto& ptr : Controls()) {
    const TControl& c = *ptr;
    if (IsEditLike(c)) ini.WriteString(Name(), c.Name(), c.Text());
    else if (c.IsA(K::CheckBox) || c.IsA(K::RadioButton)) ini.WriteBool(Name(), c.Name(), c.Checked());
    else if (c.IsA(K::ComboBox)) ini.WriteInteger(Name(), c.Name(), c.ItemIndex());
  }
}

void TformIncl::LoadFromIni(const TIniFile& ini) {
  const std::string& s = Name();
  for (const auto& ptr : Controls()) {
    TControl& c = *ptr;
    switch (c.Kind()) {
      case K::Edit:
        c.SetText(ini.ReadString(s, c.Name(), c.Hint()));
        break;
      case K::MaskEdit:
        if (ini.ValueExists(s, c.Name())) c.SetText(ini.ReadString(s, c.Name(), ""));
        break;
      case K::SpinEdit: {
        const std::string text = ini.ReadString(s, c.Name(), "");
        if (!text.empty()) c.SetText(text);
        break;
      }
      case K::CheckBox:
        c.SetChecked(ini.ReadBool(s, c.Name(), false));
        break;
      case K::RadioButton: {
        bool fallback = false;
        HintAsBool(c.Hint(), fallback);
        c.SetChecked(ini.ReadBool(s, c.Name(), fallback));
        break;
      }
      case K::ComboBox:
        c.SetItemIndex(ini.ReadInteger(s, c.Name(), 0));
        break;
      default:
        break;
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

void SavePlainPage(TIniFile& ini, const TForm& page, TListStorage lists) {
  const std::string& s = page.Name();
  const bool asText = lists == TListStorage::ShownText;
  for (const auto& ptr : page.Controls()) {
    const TControl& c = *ptr;
    if (IsEditLike(c)) ini.WriteString(s, c.Name(), c.Text());
    else if (c.IsA(K::CheckBox) || c.IsA(K::RadioButton)) ini.WriteBool(s, c.Name(), c.Checked());
    else if (c.IsA(K::ComboBox) && asText) ini.WriteString(s, c.Name(), c.Text());
    else if (c.IsA(K::ComboBox) || c.IsA(K::ComboBoxEx)) ini.WriteInteger(s, c.Name(), c.ItemIndex());
  }
}

void LoadPlainPage(const TIniFile& ini, TForm& page, TListStorage lists) {
  const std::string& s = page.Name();
  const bool asText = lists == TListStorage::ShownText;
  for (const auto& ptr : page.Controls()) {
    TControl& c = *ptr;
    switch (c.Kind()) {
      case K::Edit:
        c.SetText(ini.ReadString(s, c.Name(), ""));
        break;
      case K::SpinEdit: {
        const std::string text = ini.ReadString(s, c.Name(), "");
        if (!text.empty()) c.SetText(text);
        break;
      }
      case K::CheckBox:
      case K::RadioButton:
        c.SetChecked(ini.ReadBool(s, c.Name(), c.Checked()));
        break;
      case K::ComboBox:
        if (asText) {
          // The stored text is shown as it is, whatever the items are.
          if (ini.ValueExists(s, c.Name())) c.SetText(ini.ReadString(s, c.Name(), ""));
        } else {
          c.SetItemIndex(ini.ReadInteger(s, c.Name(), 0));
        }
        break;
      case K::ComboBoxEx:
        c.SetItemIndex(ini.ReadInteger(s, c.Name(), 0));
        break;
      case K::MaskEdit:
        c.SetText(ini.ReadString(s, c.Name(), c.Hint()));
        break;
      default:
        break;
    }
  }
}

void TPlainPage::LoadFromIni(const TIniFile& ini) { LoadPlainPage(ini, *this, lists_); }
void TPlainPage::SaveToIni(TIniFile& ini) const { SavePlainPage(ini, *this, lists_); }

void ClearPageForRead(TForm& page) { ClearMarks(page, true); }
void ClearPageForWrite(TForm& page) { ClearMarks(page, false); }

}  // namespace zorvan
