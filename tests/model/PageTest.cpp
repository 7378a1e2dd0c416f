#include "model/Page.h"

#include <gtest/gtest.h>

#include <optional>

#include "base/Cp1251.h"

namespace zorvan {
namespace {

using K = TControlKind;

// A page with one control of each stored kind and hints as factory defaults.
template <class Base>
struct SamplePage : Base {
  SamplePage(const char* name = "formSample") : Base(name) {
    this->Add("lbStatus", K::Label);
    this->Add("etObject", K::Edit, "0050");
    this->Add("meCode", K::MaskEdit, "5281").SetText("1111");
    this->Add("seCount", K::SpinEdit, "3").SetText("7");
    this->Add("cbFlag", K::CheckBox, "true");
    this->Add("rbOn", K::RadioButton, "true");
    this->Add("rbOff", K::RadioButton, "false");
    auto& list = this->Add("cbList", K::ComboBox, "20");
    list.SetItems({"10", "20", "30"});
    list.SetItemIndex(2);
    auto& images = this->Add("cbImages", K::ComboBoxEx, "");
    images.SetItems({"a", "b"});
    images.SetItemIndex(1);
  }
};

TEST(PagePersistence, SaveWritesValueFormsInComponentOrder) {
  SamplePage<TformIncl> page;
  page["cbFlag"].SetChecked(true);
  TIniFile ini;
  page.SaveToIni(ini);
  EXPECT_EQ(ini.Keys("formSample"),
            (std::vector<std::string>{"etObject", "meCode", "seCount", "cbFlag", "rbOn", "rbOff", "cbList"}));
  EXPECT_EQ(ini.ReadString("formSample", "cbFlag", ""), "1");
  EXPECT_EQ(ini.ReadString("formSample", "rbOn", ""), "0");
  EXPECT_EQ(ini.ReadString("formSample", "cbList", ""), "2");

  // The plain routine writes the image list too.
  TIniFile plain;
  SavePlainPage(plain, page);
  EXPECT_EQ(plain.ReadString("formSample", "cbImages", ""), "1");
}

TEST(PagePersistence, CheckBoxReadsIntegerFormsAndRefusesWords) {
  for (const auto& [stored, expected] :
       std::vector<std::pair<const char*, bool>>{{"1", true}, {"0x1", true}, {"$1", true}, {"0", false}}) {
    SamplePage<TformIncl> page;
    page["cbFlag"].SetChecked(!expected);
    TIniFile ini;
    ini.WriteString("formSample", "cbFlag", stored);
    std::vector<TFileProblem> problems;
    page.CheckFile(ini, problems);
    EXPECT_TRUE(problems.empty()) << stored;
    page.LoadFromIni(ini);
    EXPECT_EQ(page["cbFlag"].Checked(), expected) << stored;
  }
}

// A file holds what it holds: a page without its section, and a key without a line, keep what
// they show; a value no typed one could be is named and left out.
TEST(PagePersistence, LoadTakesOnlyWhatTheSectionHoldsAndNamesWhatItCannotTake) {
  for (const bool plain : {false, true}) {
    SCOPED_TRACE(plain ? "plain" : "incl");
    SamplePage<TformIncl> incl;
    SamplePage<TPlainPage> plainPage;
    TPage& page = plain ? static_cast<TPage&>(plainPage) : static_cast<TPage&>(incl);
    page["etObject"].SetText("1234");
    page["cbFlag"].SetChecked(true);
    page.LoadFromIni(TIniFile{});
    EXPECT_EQ(page["etObject"].Text(), "1234");
    EXPECT_TRUE(page["cbFlag"].Checked());
    EXPECT_EQ(page["cbList"].ItemIndex(), 2);

    TIniFile ini;
    ini.WriteString("formSample", "meCode", "2222");
    ini.WriteString("formSample", "cbFlag", "yes");
    ini.WriteString("formSample", "cbList", "9");
    ini.WriteString("formSample", "etObject", "12\x1b" "34");
    std::vector<TFileProblem> problems;
    page.CheckFile(ini, problems);
    std::vector<std::string> keys;
    for (const TFileProblem& p : problems) keys.push_back(p.key);
    EXPECT_EQ(keys, (std::vector<std::string>{"etObject", "cbFlag", "cbList"}));
    EXPECT_EQ(page.MissingKeys(ini), plain ? (std::vector<std::string>{"seCount", "rbOn", "rbOff", "cbImages"})
                                           : (std::vector<std::string>{"seCount", "rbOn", "rbOff"}));
    page.LoadFromIni(ini);
    EXPECT_EQ(page["meCode"].Text(), "2222");
    EXPECT_EQ(page["etObject"].Text(), "1234");
    EXPECT_TRUE(page["cbFlag"].Checked());
    EXPECT_EQ(page["cbList"].ItemIndex(), 2);
    EXPECT_EQ(page["seCount"].Text(), "7");
  }
}

TEST(PagePersistence, AFreshInclPageShowsHintsAndItsFirstItems) {
  SamplePage<TformIncl> page;
  page.ShowStartValues();
  EXPECT_EQ(page["etObject"].Text(), "0050");
  EXPECT_EQ(page["meCode"].Text(), "1111");
  EXPECT_FALSE(page["cbFlag"].Checked());
  EXPECT_TRUE(page["rbOn"].Checked());
  EXPECT_FALSE(page["rbOff"].Checked());
  EXPECT_EQ(page["cbList"].ItemIndex(), 0);
}

// What a file brings passes what typing passes: the key filter (with its mapping), control
// bytes, the length limit, the normaliser and the value rule.
TEST(ControlValues, AValueFromOutsideIsTakenAsTypingWouldTakeIt) {
  TForm form("formSample");
  auto& hex = form.Add("etHex", K::Edit);
  hex.SetMaxLength(4);
  hex.SetKeyFilter([](char c) -> char {
    if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F')) return c;
    return c >= 'a' && c <= 'f' ? static_cast<char>(c - 32) : 0;
  });
  auto& padded = form.Add("etPadded", K::Edit);
  padded.SetNormaliser([](std::string_view t) {
    std::string s(t);
    for (char& c : s)
      if (c == ' ') c = '0';
    return s;
  });
  padded.SetValueRule([](std::string_view t) -> std::optional<std::string> {
    if (t.size() > 3) return std::nullopt;
    return std::string(t);
  });
  auto& list = form.Add("cbDigits", K::ComboBox);
  list.SetItems({W("Нет"), "1"});
  list.SetKeyFilter([](char c) -> char { return c >= '0' && c <= '9' ? c : 0; });
  const struct {
    TControl* control;
    std::string value;
    std::optional<std::string> taken;
  } cases[] = {
      {&hex, "1a2f", "1A2F"},  {&hex, "1A2G", std::nullopt}, {&hex, "1A2F0", std::nullopt},
      {&hex, "", ""},          {&hex, "\x1b", std::nullopt}, {&padded, "1 2", "102"},
      {&padded, "1\t2", std::nullopt}, {&padded, "12 4", std::nullopt}, {&padded, "a\x7f", std::nullopt},
      {&list, W("Нет"), W("Нет")}, {&list, "24", "24"},  {&list, "2x", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(AcceptValue(*c.control, c.value), c.taken) << c.control->Name() << " " << c.value;
}

TEST(PagePersistence, SetDefaultsFromHints) {
  SamplePage<TformIncl> page;
  page.Add("cbOdd", K::CheckBox, "maybe").SetChecked(true);
  auto& other = page.Add("cbOther", K::ComboBox, "99");
  other.SetItems({"1", "2"});
  other.SetItemIndex(1);
  page.SetDefaults();
  EXPECT_EQ(page["etObject"].Text(), "0050");
  EXPECT_EQ(page["meCode"].Text(), "5281");
  EXPECT_EQ(page["seCount"].Text(), "3");
  EXPECT_TRUE(page["cbFlag"].Checked());
  EXPECT_TRUE(page["cbOdd"].Checked());  // an unreadable hint leaves the control as it was
  EXPECT_EQ(page["cbList"].ItemIndex(), 1);
  EXPECT_EQ(page["cbOther"].ItemIndex(), -1);
}

// A plain page whose lists hold typed values, as the system events page does.
struct TextListsPage : SamplePage<TPlainPage> {
  explicit TextListsPage(const char* name) : SamplePage<TPlainPage>(name) { StoreListsAsText(); }
};

TEST(PagePersistence, SystemEventsListsTravelAsTheirShownText) {
  TextListsPage page("formATests");
  page["cbList"].SetText("10");
  TIniFile ini;
  page.SaveToIni(ini);
  EXPECT_EQ(ini.ReadString("formATests", "cbList", ""), "10");
  TextListsPage back("formATests");
  back["cbList"].SetItems({"x", "y"});
  back.LoadFromIni(ini);
  EXPECT_EQ(back["cbList"].Text(), "10");
}

TEST(PagePersistence, ClearPageForReadAndWrite) {
  SamplePage<TformIncl> page;
  page["lbStatus"].SetFontColor("clRed");
  page["etObject"].SetFontStyle(fsBold);
  page["etObject"].SetText("0050");
  page["cbFlag"].SetChecked(true);
  page["cbFlag"].SetText("!");
  auto& link = page.Add("URLLabel1", K::LinkLabel);
  link.SetFontColor("clBlue");
  ClearPageForWrite(page);
  EXPECT_EQ(page["lbStatus"].FontColor(), "clWindowText");
  EXPECT_EQ(page["etObject"].FontStyle(), fsRegular);
  EXPECT_EQ(page["etObject"].Text(), "0050");
  EXPECT_TRUE(page["cbFlag"].Checked());
  EXPECT_EQ(page["cbFlag"].Text(), "");
  EXPECT_EQ(link.FontColor(), "clBlue");
  ClearPageForRead(page);
  EXPECT_EQ(page["etObject"].Text(), "");
  EXPECT_FALSE(page["cbFlag"].Checked());
  EXPECT_EQ(page["meCode"].Text(), "1111");
}

TEST(PagePersistence, HintsAsBooleans) {
  bool v = false;
  EXPECT_TRUE(HintAsBool("TRUE", v) && v);
  EXPECT_TRUE(HintAsBool("False", v) && !v);
  EXPECT_TRUE(HintAsBool("2", v) && v);
  EXPECT_FALSE(HintAsBool("", v));
  EXPECT_FALSE(HintAsBool("yes", v));
}

TEST(ControlModel, RegistryAndHandlers) {
  TForm form("Form1");
  auto& edit = form.Add("etO", K::Edit);
  int changes = 0;
  edit.OnChange([&](TControl&) { ++changes; });
  edit.SetText("1");
  edit.SetText("1");
  EXPECT_EQ(changes, 1);
  int repaint = 0;
  const int id = edit.AddListener([&](const TControl&) { ++repaint; });
  edit.SetEnabled(false);
  edit.RemoveListener(id);
  edit.SetEnabled(true);
  EXPECT_EQ(repaint, 1);
  TFormRegistry registry;
  registry.Register(form);
  EXPECT_EQ(registry.Find("Form1", "etO"), &edit);
  EXPECT_EQ(registry.Find("Form1", ""), &form.Self());
  EXPECT_EQ(registry.Find("Form1", "none"), nullptr);
  EXPECT_EQ(registry.Find("Form2", "etO"), nullptr);
  auto& tree = form.Add("tv1", K::TreeView);
  tree.SetNodes({{"a", 1}, {"b", 2}});
  tree.SelectNode(1);
  tree.SelectNode(99);
  EXPECT_EQ(tree.SelectedNode(), 1);
}

TEST(ControlModel, SelectingTheItemOfAnEditedListShowsIt) {
  TForm form("formSample");
  TControl& list = form.Add("cbTime", K::ComboBox);
  list.SetItems({"none", "08:00"});
  list.SetItemIndex(0);
  list.SetText("8.1");
  EXPECT_EQ(list.ItemIndex(), 0);
  list.SetItemIndex(0);
  EXPECT_EQ(list.Text(), "none");
  // Without a rule a control may always be left; a page without a shell shows no message.
  EXPECT_TRUE(list.Exit());
  TPage page("formPage");
  page.ShowError("caption", "text");
}

// A page kept in a section of another name, and one that settings files do not keep.
template <class Base>
struct SectionPage : SamplePage<Base> {
  SectionPage(const char* name, std::string section) : SamplePage<Base>(name), section_(std::move(section)) {}
  std::string Section() const override { return section_; }
  std::string section_;
};

TEST(PagePersistence, APageKeepsItsOwnSectionOrNone) {
  SectionPage<TformIncl> keys("formTMKeys", "KEYS");
  SectionPage<TPlainPage> sms("formSMS", "");
  keys["etObject"].SetText("0A1B");
  TIniFile ini;
  keys.SaveToIni(ini);
  sms.SaveToIni(ini);
  EXPECT_EQ(ini.Sections(), (std::vector<std::string>{"KEYS"}));
  EXPECT_EQ(ini.ReadString("KEYS", "etObject", ""), "0A1B");
  EXPECT_TRUE(FileHoldsPage(ini, keys));

  // A section named like the page that is kept nowhere is not its.
  ini.WriteString("formSMS", "etObject", "9999");
  EXPECT_FALSE(FileHoldsPage(ini, sms));
  sms["etObject"].SetText("1234");
  sms.LoadFromIni(ini);
  EXPECT_EQ(sms["etObject"].Text(), "1234");

  SectionPage<TformIncl> loaded("formTMKeys", "KEYS");
  loaded.LoadFromIni(ini);
  EXPECT_EQ(loaded["etObject"].Text(), "0A1B");
}

}  // namespace
}  // namespace zorvan
