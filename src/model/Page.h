#pragma once
// Pages and their storage in settings files: one section per page, one key per control.
#include <string>
#include <optional>
#include <string_view>

#include <cstdint>
#include <functional>
#include <vector>

#include "base/IniFile.h"
#include "model/Control.h"
#include "model/Param.h"

namespace zorvan {

// A value a settings file holds that the page cannot take (cp1251): its key, its value, why.
struct TFileProblem {
  std::string key;
  std::string value;
  std::string why;
};

// How a page stores a control in its section.
enum class TStored { None, Text, Flag, Index };

// A settings page. The shell drives every page through these operations. Its identifier and
// caption come from the page catalogue.
class TPage : public TForm {
 public:
  explicit TPage(std::string name, std::string caption = {})
      : TForm(std::move(name)), caption_(std::move(caption)) {}
  const std::string& Caption() const { return caption_; }
  // The settings-file section that keeps the page: its name unless the page says otherwise;
  // empty for a page that settings files do not keep.
  virtual std::string Section() const { return Name(); }

  virtual void SetDefaults() {}
  virtual void AdaptToPanel(const TPanelIdentity&) {}
  // The page's own clearing before it is read alone; false refuses the read (the page says why).
  virtual bool ClearForRead() { return true; }
  virtual void LoadFromIni(const TIniFile&) {}
  virtual void SaveToIni(TIniFile&) const {}

  // After every page of a command has done its part: the page became the shown one, took its
  // defaults, was loaded from a file.
  virtual void OnShown() {}
  virtual void AfterDefaults() {}
  virtual void AfterLoad() {}

  // The page's parameter table, for the worker's read and write runner. Built with the page
  // and never changed, so the worker may walk it.
  const std::vector<TParam>& Params() const { return params_; }

  // Loading takes only what the file holds: a page without a section and a key without a
  // line keep what they show. A value the control cannot take is left out too (CheckFile says
  // which before a load). What a fresh page shows before any file is loaded:
  virtual void ShowStartValues() {}
  virtual TStored StoredAs(const TControl&) const { return TStored::None; }
  // Whether the page's section holds a value for the control.
  virtual bool FileHolds(const TIniFile& ini, const TControl& control) const;
  // The values of the page's section that a typed value could not be, nor the panel take.
  virtual void CheckFile(const TIniFile& ini, std::vector<TFileProblem>& problems) const;
  // The stored controls the page's section lacks (empty when the file has no section).
  std::vector<std::string> MissingKeys(const TIniFile& ini) const;

  // Posts a request to the worker (links and buttons that act on the panel at once); false
  // while not connected. Set by the shell.
  std::function<bool(std::uint8_t code)> postRequest;
  bool PostRequest(std::uint8_t code) const { return postRequest && postRequest(code); }

  // Shows an error message box (caption, text; cp1251) for a rule that refuses an entry.
  // Set by the shell; without it the message goes nowhere.
  std::function<void(const std::string& caption, const std::string& text)> showError;
  void ShowError(const std::string& caption, const std::string& text) const {
    if (showError) showError(caption, text);
  }

 protected:
  TParam& AddParam(TParam param) { return params_.emplace_back(std::move(param)); }

 private:
  std::string caption_;
  std::vector<TParam> params_;
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
  // Edits show their hints, check boxes are clear, radio buttons follow their hints, lists
  // select their first item.
  void ShowStartValues() override;
  TStored StoredAs(const TControl& control) const override;
};

// How the plain routines store a drop-down list: its item index, or the text it shows.
enum class TListStorage { ItemIndex, ShownText };

// Pages stored by the plain routines.
class TPlainPage : public TPage {
 public:
  using TPage::TPage;
  void LoadFromIni(const TIniFile& ini) override;
  void SaveToIni(TIniFile& ini) const override;
  TStored StoredAs(const TControl& control) const override;

 protected:
  // For a page whose lists hold typed values rather than a choice of items.
  void StoreListsAsText() { lists_ = TListStorage::ShownText; }

 private:
  TListStorage lists_ = TListStorage::ItemIndex;
};

void SavePlainPage(TIniFile& ini, const TPage& page, TListStorage lists = TListStorage::ItemIndex);

// The file's value for a control as the control would take it, or nothing (with the reason
// when the file holds a value that cannot be taken). Flags come back "1"/"0", indexes in decimal.
std::optional<std::string> FileValue(const TIniFile& ini, const TPage& page, const TControl& control,
                                     std::string* why = nullptr);

// Marks before a read or a write: label colours, font styles, "!" captions; a read also empties.
// The file holds the page's section (never for a page that settings files do not keep).
bool FileHoldsPage(const TIniFile& ini, const TPage& page);

void ClearPageForRead(TForm& page);
void ClearPageForWrite(TForm& page);

// "true"/"false" in any case, or an integer (non-zero = true); false when neither.
bool HintAsBool(std::string_view hint, bool& value);

}  // namespace zorvan
