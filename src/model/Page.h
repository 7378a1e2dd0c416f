#pragma once
// Pages and their storage in settings files: one section per page, one key per control.
#include <string>
#include <string_view>

#include "base/IniFile.h"
#include "model/Control.h"

namespace zorvan {

// What the connected panel is, as the pages adapt to it.
struct TPanelIdentity {
  int family = 9;
  int variant = 999;
  int build = 999;
};

// A settings page. The shell drives every page through these operations.
class TPage : public TForm {
 public:
  explicit TPage(std::string name, std::string caption = {})
      : TForm(std::move(name)), caption_(std::move(caption)) {}
  const std::string& Caption() const { return caption_; }

  virtual void SetDefaults() {}
  virtual void AdaptToPanel(const TPanelIdentity&) {}
  virtual void ClearForRead() {}
  virtual void LoadFromIni(const TIniFile&) {}
  virtual void SaveToIni(TIniFile&) const {}

 private:
  std::string caption_;
};

// Pages whose defaults live in the controls' hints.
class TformIncl : public TPage {
 public:
  using TPage::TPage;
  virtual void ClearPage();
  virtual void ResetMarks();
  void LoadFromIni(const TIniFile& ini) override;
  void SaveToIni(TIniFile& ini) const override;
  void SetDefaults() override;
};

// Pages stored by the plain routines.
class TPlainPage : public TPage {
 public:
  using TPage::TPage;
  void LoadFromIni(const TIniFile& ini) override;
  void SaveToIni(TIniFile& ini) const override;
};

void LoadPlainPage(const TIniFile& ini, TForm& page);
void SavePlainPage(TIniFile& ini, const TForm& page);

// Marks before a read or a write: label colours, font styles, "!" captions; a read also empties.
void ClearPageForRead(TForm& page);
void ClearPageForWrite(TForm& page);

// "true"/"false" in any case, or an integer (non-zero = true); false when neither.
bool HintAsBool(std::string_view hint, bool& value);

}  // namespace zorvan
