// The system events page: its rules, its settings-file section and its exchange with the
// virtual panel through the shell.
#include <gtest/gtest.h>

#include "base/Cp1251.h"
#include "link/Clock.h"
#include "pages/atests/ATests.h"
#include "tests/pages/PageRig.h"

namespace zorvan {
namespace {

using test::TPageRig;
using Lines = std::vector<std::string>;

TformATests& Page(TShell& shell) { return *shell.PageSet().Get<TformATests>(); }

std::string U(const std::string& cp1251) { return Cp1251ToUtf8(cp1251); }

std::vector<std::string> DailyTexts(const TformATests& page) {
  std::vector<std::string> texts;
  for (const TControl* list : page.Daily()) texts.push_back(U(list->Text()));
  return texts;
}

void SetDaily(TformATests& page, const std::vector<const char*>& texts) {
  for (std::size_t k = 0; k < texts.size(); ++k) page.Daily()[k]->SetText(W(texts[k]));
}

// The page with its error messages caught.
struct TPageWithMessages {
  TShell shell{"./"};
  TformATests& page = Page(shell);
  std::vector<std::string> errors;
  TPageWithMessages() {
    page.showError = [this](const std::string& caption, const std::string& text) {
      errors.push_back(U(caption) + " " + U(text));
    };
  }
};

TEST(ATestsPage, StartsEmptyAndTakesItsDefaults) {
  TShell shell("./");
  TformATests& page = Page(shell);
  EXPECT_EQ(DailyTexts(page), (Lines{"Нет", "Нет", "Нет"}));
  EXPECT_EQ(U(page.ExATCombo.Text()), "Нет");
  EXPECT_EQ(page.V220Combo.Text(), "00:10");
  EXPECT_FALSE(page.V220Check.Checked());
  EXPECT_FALSE(page.V220Combo.Enabled());
  EXPECT_FALSE(page.Label14.Enabled());
  EXPECT_EQ(U(page.RebootLabel.Text()), "Генерировать событие \"Перезагрузка\"");
  EXPECT_EQ(U(page.GroupBox7.Text()), "Питание");

  SetDaily(page, {"08:00", "16:00", "Нет"});
  page.SetDefaults();
  EXPECT_EQ(DailyTexts(page), (Lines{"Нет", "Нет", "Нет"}));
  EXPECT_EQ(page.ExATCombo.Text(), "12");
  for (const TControl* check : {&page.AKBBreakCheck, &page.AKBLowPowerCheck, &page.V220Check, &page.RebootCheck})
    EXPECT_TRUE(check->Checked()) << check->Name();
  EXPECT_EQ(page.V220Combo.Text(), "05:00");
  EXPECT_TRUE(page.V220Combo.Enabled());
  EXPECT_TRUE(page.Label14.Enabled());

  // Whatever changes the box, the delay follows it.
  page.V220Check.SetChecked(false);
  EXPECT_FALSE(page.V220Combo.Enabled());
  EXPECT_FALSE(page.Label14.Enabled());
}

TEST(ATestsPage, LeavingADailyListNormalisesOrRefusesIt) {
  struct Case {
    const char* typed;
    const char* shown;  // what the list shows afterwards
    bool accepted;
  };
  const Case cases[] = {
      {"08.15", "08:15", true},  {"8.15", "8.15", false},   {"да", "08:00", true},   {"Да!", "08:00", true},
      {" 16-30 ", "16:30", true}, {"23:60", "23:60", true}, {"24:00", "24:00", false}, {"0815", "0815", false},
      {"08:1x", "08:1x", false}, {"нет", "нет", true},      {"", "", false},         {"08:00:00", "08:00:00", false},
  };
  for (const Case& c : cases) {
    TPageWithMessages rig;
    rig.page.AT1Combo.SetText(W(c.typed));
    EXPECT_EQ(rig.page.AT1Combo.Exit(), c.accepted) << c.typed;
    EXPECT_EQ(U(rig.page.AT1Combo.Text()), c.shown) << c.typed;
    if (c.accepted) {
      EXPECT_TRUE(rig.errors.empty()) << c.typed;
    } else {
      EXPECT_EQ(rig.errors, (Lines{"Ошибка! Введенное значение не является временем."})) << c.typed;
    }
  }
}

TEST(ATestsPage, LeavingAnyDailyListSortsTheTestsTimesFirst) {
  struct Case {
    std::vector<const char*> before;
    int left;  // the list that is left, 0..2
    Lines after;
  };
  const Case cases[] = {
      {{"08:00", "Нет", "16:30"}, 2, {"08:00", "16:30", "Нет"}},
      {{"Нет", "Нет", "16:00"}, 2, {"16:00", "Нет", "Нет"}},
      {{"Нет", "20:00", "06:00"}, 0, {"20:00", "06:00", "Нет"}},
      {{"нет", "да", "Нет"}, 1, {"08:00", "нет", "Нет"}},
      {{"16:00", "00:00", "08:00"}, 1, {"16:00", "00:00", "08:00"}},
  };
  for (const Case& c : cases) {
    TPageWithMessages rig;
    SetDaily(rig.page, c.before);
    EXPECT_TRUE(rig.page.Daily()[static_cast<std::size_t>(c.left)]->Exit());
    EXPECT_EQ(DailyTexts(rig.page), c.after) << c.before[0] << " " << c.before[1] << " " << c.before[2];
  }
  // A refused time is not sorted away from the user.
  TPageWithMessages rig;
  SetDaily(rig.page, {"Нет", "8.15", "Нет"});
  EXPECT_FALSE(rig.page.AT2Combo.Exit());
  EXPECT_EQ(DailyTexts(rig.page), (Lines{"Нет", "8.15", "Нет"}));
}

TEST(ATestsPage, PeriodListTakesDigitsOnly) {
  for (char key : std::string("0159\b")) EXPECT_EQ(FilterDigitKey(key), key) << key;
  for (char key : std::string("a-:. +")) EXPECT_EQ(FilterDigitKey(key), 0) << key;
  EXPECT_EQ(Page(*std::make_unique<TShell>("./")).ExATCombo.KeyFilter(), &FilterDigitKey);
}

TEST(ATestsPage, MainsDelayTextsAndCodes) {
  struct Case {
    const char* text;
    int code;  // 0: not a delay
  };
  const Case cases[] = {{"05:00", 30}, {"00:10", 1},  {"00:05", 1},     {"30:60", 186}, {"31:00", 186},
                        {"42:30", 255}, {"42:60", 255}, {"43:00", 0},    {"05:61", 0},   {"5:00", 0},
                        {"05-00", 30},  {"abc", 0},    {"менее 10 с", 1}, {"", 0}};
  for (const Case& c : cases) EXPECT_EQ(MainsDelayCode(W(c.text)).value_or(0), c.code) << c.text;
  EXPECT_EQ(MainsDelayText(0x1E), "05:00");
  EXPECT_EQ(MainsDelayText(0xBA), "31:00");
  EXPECT_EQ(MainsDelayText(2), "00:20");
  EXPECT_EQ(MainsDelayText(1), "00:10");
  EXPECT_EQ(MainsDelayText(0), "00:10");
}

TEST(ATestsPage, Family101HasNoMainsEvents) {
  TShell shell("./");
  TformATests& page = Page(shell);
  page.SetDefaults();
  page.AdaptToPanel({101, 5, 12});
  for (const TControl* c : {&page.V220Label, &page.V220Check, &page.Label14, &page.V220Combo})
    EXPECT_FALSE(c->Visible()) << c->Name();
  EXPECT_FALSE(page.V220Check.Checked());
  EXPECT_EQ(page.V220Combo.ItemIndex(), 0);
  EXPECT_EQ(page.V220Combo.Text(), "00:10");
  EXPECT_TRUE(page.AKBBreakCheck.Visible());
  page.AdaptToPanel({9, 5, 12});
  for (const TControl* c : {&page.V220Label, &page.V220Check, &page.Label14, &page.V220Combo})
    EXPECT_TRUE(c->Visible()) << c->Name();
}

TEST(ATestsPage, SettingsFileKeepsTheListsAsText) {
  TShell shell("./");
  TformATests& page = Page(shell);
  SetDaily(page, {"07:45", "Нет", "Нет"});
  page.ExATCombo.SetText("48");
  page.V220Check.SetChecked(true);
  page.V220Combo.SetText("02:30");
  page.AKBLowPowerCheck.SetChecked(true);
  TIniFile ini;
  page.SaveToIni(ini);
  EXPECT_EQ(ini.ReadString("formATests", "AT1Combo", ""), "07:45");
  EXPECT_EQ(U(ini.ReadString("formATests", "AT2Combo", "")), "Нет");
  EXPECT_EQ(ini.ReadString("formATests", "ExATCombo", ""), "48");
  EXPECT_EQ(ini.ReadString("formATests", "V220Combo", ""), "02:30");
  EXPECT_EQ(ini.ReadString("formATests", "V220Check", ""), "1");
  EXPECT_EQ(ini.ReadString("formATests", "RebootCheck", ""), "0");

  TShell other("./");
  TformATests& loaded = Page(other);
  loaded.LoadFromIni(ini);
  EXPECT_EQ(DailyTexts(loaded), (Lines{"07:45", "Нет", "Нет"}));
  EXPECT_EQ(loaded.ExATCombo.Text(), "48");
  EXPECT_EQ(loaded.V220Combo.Text(), "02:30");
  EXPECT_TRUE(loaded.V220Combo.Enabled());
  EXPECT_TRUE(loaded.AKBLowPowerCheck.Checked());
  EXPECT_FALSE(loaded.AKBBreakCheck.Checked());
}

// The commands a page write sent, without the connection's own.
Lines PageLines(const TPageRig& rig, std::size_t mark) { return rig.SentSince(mark); }

TEST(ATestsOnPanel, WritesSortedTestsAndTheirEncodings) {
  TPageRig rig(test::Unthrottled(), "atests-write");
  ASSERT_TRUE(rig.Connect());
  TformATests& page = Page(rig.shell);
  SetDaily(page, {"08:00", "Нет", "16:30"});
  page.ExATCombo.SetText("24");
  page.AKBBreakCheck.SetChecked(true);
  page.AKBLowPowerCheck.SetChecked(true);
  page.V220Check.SetChecked(true);
  page.V220Combo.SetText("05:00");
  page.RebootCheck.SetChecked(true);
  std::size_t mark = rig.Mark();
  rig.WritePage("formATests");
  EXPECT_EQ(PageLines(rig, mark), (Lines{"+AN=2", "+AH0=08", "+AM0=00", "+AH1=16", "+AM1=30", "+AH2=00", "+AM2=00",
                                         "+AA=18", "+PO=1111", "+WI=1E", "+r=1"}));
  EXPECT_TRUE(rig.shell.Failures().empty());
  EXPECT_EQ(DailyTexts(page), (Lines{"08:00", "16:30", "Нет"}));
  for (const TControl* label : {&page.Label5, &page.LAT[1], &page.LAT[3], &page.Label10, &page.AKBBreakLabel,
                                &page.V220Label, &page.Label14, &page.RebootLabel})
    EXPECT_EQ(label->FontColor(), "clBlue") << label->Name();

  // Read back into a cleared page.
  page.SetDefaults();
  rig.ReadPage("formATests");
  EXPECT_EQ(DailyTexts(page), (Lines{"08:00", "16:30", "Нет"}));
  EXPECT_EQ(page.ExATCombo.Text(), "24");
  EXPECT_EQ(page.V220Combo.Text(), "05:00");
  EXPECT_TRUE(page.V220Check.Checked());
  EXPECT_TRUE(rig.shell.Failures().empty());
}

TEST(ATestsOnPanel, WriteCorrectsWhatCannotBeSent) {
  TPageRig rig(test::Unthrottled(), "atests-correct");
  ASSERT_TRUE(rig.Connect());
  TformATests& page = Page(rig.shell);
  // What a settings file or an unfinished edit may leave.
  SetDaily(page, {"Нет", "да", "7:5"});
  page.ExATCombo.SetText("");
  page.V220Check.SetChecked(true);
  page.V220Combo.SetText("abc");
  std::size_t mark = rig.Mark();
  rig.WritePage("formATests");
  EXPECT_EQ(PageLines(rig, mark), (Lines{"+AN=2", "+AH0=08", "+AM0=00", "+AH1=00", "+AM1=00", "+AH2=00", "+AM2=00",
                                         "+AA=00", "+PO=1100", "+WI=01", "+r=0"}));
  EXPECT_EQ(DailyTexts(page), (Lines{"08:00", "00:00", "Нет"}));
  EXPECT_EQ(U(page.ExATCombo.Text()), "Нет");
  EXPECT_EQ(page.V220Combo.Text(), "00:10");

  // The longest delay a user may type comes back as the panel keeps it, and goes out unchanged.
  page.V220Combo.SetText("30:60");
  page.V220Check.SetChecked(true);
  mark = rig.Mark();
  rig.WritePage("formATests");
  EXPECT_TRUE(rig.Sent("+WI=BA"));
  EXPECT_EQ(page.V220Combo.Text(), "31:00");
  rig.ReadPage("formATests");
  EXPECT_EQ(page.V220Combo.Text(), "31:00");
  mark = rig.Mark();
  rig.WritePage("formATests");
  auto lines = PageLines(rig, mark);
  EXPECT_NE(std::find(lines.begin(), lines.end(), "+WI=BA"), lines.end());

  // With the mains events off the delay goes out as the shortest one, the list untouched.
  page.V220Check.SetChecked(false);
  page.V220Combo.SetText("10:00");
  mark = rig.Mark();
  rig.WritePage("formATests");
  lines = PageLines(rig, mark);
  EXPECT_NE(std::find(lines.begin(), lines.end(), "+WI=01"), lines.end());
  EXPECT_EQ(page.V220Combo.Text(), "10:00");
}

// Delays past the list's last item up to the longest a code holds go out as typed, so that a
// delay read from the panel is written back unchanged; a longer one is the shortest delay. The
// period keeps the number typed, at most what the panel holds.
TEST(ATestsOnPanel, LongMainsDelaysAndPeriodsOnTheWire) {
  TPageRig rig(test::Unthrottled(), "atests-long");
  ASSERT_TRUE(rig.Connect());
  TformATests& page = Page(rig.shell);
  page.V220Check.SetChecked(true);
  struct Case {
    const char* delay;
    const char* period;
    const char* sentDelay;
    const char* sentPeriod;
    const char* shownDelay;
    const char* shownPeriod;
  };
  const Case cases[] = {
      {"30:00", "2", "+WI=B4", "+AA=02", "30:00", "2"},     {"31:00", "300", "+WI=BA", "+AA=FF", "31:00", "255"},
      {"42:30", "255", "+WI=FF", "+AA=FF", "42:30", "255"}, {"43:00", "0", "+WI=01", "+AA=00", "00:10", "Нет"},
      {"40:00", "1234567890", "+WI=F0", "+AA=FF", "40:00", "255"},
  };
  for (const Case& c : cases) {
    page.V220Combo.SetText(c.delay);
    page.ExATCombo.SetText(c.period);
    const std::size_t mark = rig.Mark();
    rig.WritePage("formATests");
    const Lines lines = PageLines(rig, mark);
    EXPECT_NE(std::find(lines.begin(), lines.end(), c.sentDelay), lines.end()) << c.delay;
    EXPECT_NE(std::find(lines.begin(), lines.end(), c.sentPeriod), lines.end()) << c.period;
    EXPECT_EQ(page.V220Combo.Text(), c.shownDelay);
    EXPECT_EQ(U(page.ExATCombo.Text()), c.shownPeriod);
    // What was written reads back as it is shown.
    rig.ReadPage("formATests");
    EXPECT_EQ(page.V220Combo.Text(), c.shownDelay);
    EXPECT_EQ(U(page.ExATCombo.Text()), c.shownPeriod);
  }
  EXPECT_TRUE(rig.shell.Failures().empty());
}

TEST(ATestsOnPanel, PowerEventsByFamily) {
  struct Case {
    const char* version;
    bool mains, batteryFault, batteryLow;
    const char* sent;
  };
  const Case cases[] = {
      {"09.005.012", true, true, true, "+PO=1111"},   {"09.005.012", false, true, false, "+PO=0010"},
      {"09.005.012", true, false, false, "+PO=1100"}, {"09.005.012", false, false, true, "+PO=0001"},
      {"101.005.012", true, true, true, "+PO=0011"},
  };
  for (const Case& c : cases) {
    TPageRig rig(test::Unthrottled(c.version), "atests-power");
    ASSERT_TRUE(rig.Connect());
    TformATests& page = Page(rig.shell);
    page.V220Check.SetChecked(c.mains);
    page.AKBBreakCheck.SetChecked(c.batteryFault);
    page.AKBLowPowerCheck.SetChecked(c.batteryLow);
    rig.WritePage("formATests");
    EXPECT_TRUE(rig.Sent(c.sent)) << c.version << " " << c.sent;
  }
}

TEST(ATestsOnPanel, ReadsWhatThePanelKeeps) {
  TPageRig rig(test::Unthrottled(), "atests-read");
  ASSERT_TRUE(rig.Connect());
  TformATests& page = Page(rig.shell);
  for (const char* line : {"+AN=1", "+AH0=07", "+AH1=12", "+AM0=30", "+AA=0C", "+PO=0010", "+WI=1E", "+r=0"})
    rig.Preset(line);
  SetDaily(page, {"Нет", "16:00", "08:00"});
  page.RebootCheck.SetChecked(true);
  const std::size_t mark = rig.Mark();
  rig.ReadPage("formATests");
  EXPECT_EQ(PageLines(rig, mark), (Lines{"+AN", "+AH", "+AM", "+AA", "+PO", "+WI", "+r"}));
  EXPECT_EQ(DailyTexts(page), (Lines{"07:30", "Нет", "Нет"}));
  EXPECT_EQ(page.ExATCombo.Text(), "12");
  EXPECT_TRUE(page.AKBBreakCheck.Checked());
  EXPECT_FALSE(page.AKBLowPowerCheck.Checked());
  EXPECT_FALSE(page.V220Check.Checked());
  EXPECT_FALSE(page.V220Combo.Enabled());
  EXPECT_EQ(page.V220Combo.Text(), "05:00");
  EXPECT_FALSE(page.RebootCheck.Checked());
  for (const TControl* label : {&page.Label5, &page.LAT[1], &page.LAT[2], &page.LAT[3], &page.Label10,
                                &page.AKBBreakLabel, &page.AKBLowPowerLabel, &page.V220Label, &page.Label14,
                                &page.RebootLabel})
    EXPECT_EQ(label->FontColor(), "clBlue") << label->Name();

  // Period 0 is none; the shortest delay shows as the first item.
  rig.Preset("+AA=00");
  rig.Preset("+WI=01");
  rig.Preset("+AN=0");
  rig.ReadPage("formATests");
  EXPECT_EQ(U(page.ExATCombo.Text()), "Нет");
  EXPECT_EQ(page.V220Combo.Text(), "00:10");
  EXPECT_EQ(DailyTexts(page), (Lines{"Нет", "Нет", "Нет"}));

  // The restart command of the panel is not taken for the restart event's.
  EXPECT_FALSE(rig.panel.Parameters().Answer("+rb").has_value());
}

TEST(ATestsOnPanel, Family101ReadsNoMainsDelay) {
  TPageRig rig(test::Unthrottled("101.005.012"), "atests-101");
  ASSERT_TRUE(rig.Connect());
  TformATests& page = Page(rig.shell);
  EXPECT_FALSE(page.V220Combo.Visible());
  rig.Preset("+PO=1111");
  rig.Preset("+WI=1E");
  const std::size_t mark = rig.Mark();
  rig.ReadPage("formATests");
  EXPECT_EQ(PageLines(rig, mark), (Lines{"+AN", "+AH", "+AM", "+AA", "+PO", "+r"}));
  EXPECT_FALSE(page.V220Check.Checked());
  EXPECT_TRUE(page.AKBBreakCheck.Checked());
  EXPECT_EQ(page.V220Combo.Text(), "00:10");
}

long LinesWith(const Lines& log, const std::string& text) {
  return std::count_if(log.begin(), log.end(), [&](const std::string& line) { return line.find(text) != std::string::npos; });
}

TEST(ATestsOnPanel, FailuresAreRedAndNamed) {
  TScopedTimeScale fast(0.02);
  std::vector<std::string> log;  // outlives the rig, whose end still logs
  TPageRig rig(test::Unthrottled(), "atests-fail");
  ASSERT_TRUE(rig.Connect());
  TformATests& page = Page(rig.shell);
  rig.shell.onLog = [&](const std::string& text, bool) { log.push_back(U(text)); };

  SetDaily(page, {"08:00", "16:00", "Нет"});
  rig.panel.AddFault({sim::TFaultKind::Err, "+AH1=16", -1});
  rig.panel.AddFault({sim::TFaultKind::Silent, "+PO=0000", -1});
  rig.WritePage("formATests");
  ASSERT_EQ(rig.shell.Failures().size(), 2u);
  EXPECT_EQ(U(TShell::FailureText(rig.shell.Failures()[0])), "Автотест 2 (+AH1): панель ответила ERR");
  EXPECT_EQ(U(TShell::FailureText(rig.shell.Failures()[1])),
            "Генерировать событие \"Неисправность АКБ\" (+PO): панель не ответила");
  EXPECT_EQ(page.LAT[2].FontColor(), "clRed");
  EXPECT_EQ(page.LAT[1].FontColor(), "clBlue");
  EXPECT_EQ(page.AKBLowPowerLabel.FontColor(), "clRed");
  EXPECT_EQ(page.V220Label.FontColor(), "clRed");
  EXPECT_EQ(page.RebootLabel.FontColor(), "clBlue");  // the rest is still written
  EXPECT_TRUE(rig.Sent("+r=0"));
  EXPECT_EQ(LinesWith(log, "Ошибка при записи системных событий!"), 1);

  // A count that does not come leaves the daily tests as they were, all marked.
  rig.panel.ClearFaults();
  rig.panel.AddFault({sim::TFaultKind::Silent, "+AN", -1});
  rig.panel.AddFault({sim::TFaultKind::Err, "+r", -1});
  SetDaily(page, {"06:00", "Нет", "Нет"});
  rig.ReadPage("formATests");
  ASSERT_EQ(rig.shell.Failures().size(), 2u);
  EXPECT_EQ(U(TShell::FailureText(rig.shell.Failures()[0])),
            "Генерировать ежедневные автотесты в ЧЧ:ММ (+AN): панель не ответила");
  EXPECT_EQ(U(TShell::FailureText(rig.shell.Failures()[1])), "Генерировать событие \"Перезагрузка\" (+r): панель ответила ERR");
  EXPECT_FALSE(rig.Sent("+AH"));
  EXPECT_EQ(DailyTexts(page), (Lines{"06:00", "Нет", "Нет"}));
  for (const TControl* label : {&page.Label5, &page.LAT[1], &page.LAT[2], &page.LAT[3], &page.RebootLabel})
    EXPECT_EQ(label->FontColor(), "clRed") << label->Name();
  EXPECT_EQ(page.Label10.FontColor(), "clBlue");
  EXPECT_EQ(LinesWith(log, "Ошибка при чтении системных событий!"), 1);
}

}  // namespace
}  // namespace zorvan
