#include "pages/atests/ATests.h"

#include <cstdio>

#include "base/Cp1251.h"
#include "base/ValueHelpers.h"

namespace zorvan {
namespace {

constexpr int kMorningItem = 2;     // "08:00"
constexpr int kPeriodDefaultItem = 3;  // "12"
constexpr int kDelayDefaultItem = 4;   // "05:00"

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool SaysYes(std::string_view text) { return Cp1251Upper(text).find(W("ДА")) != std::string::npos; }

}  // namespace

long PeriodHours(std::string_view text) {
  const std::string digits = TrimBlanks(text);
  if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos) return 0;
  const auto hours = ParseDecimal(digits);  // none when too long to be a number
  return hours && *hours <= 255 ? *hours : 255;
}

std::optional<std::pair<int, int>> SplitClock(std::string_view text, int maxFirst, int maxSecond) {
  if (text.size() != 5 || IsDigit(text[2])) return std::nullopt;
  for (std::size_t i : {0u, 1u, 3u, 4u})
    if (!IsDigit(text[i])) return std::nullopt;
  const int first = (text[0] - '0') * 10 + (text[1] - '0');
  const int second = (text[3] - '0') * 10 + (text[4] - '0');
  if (first > maxFirst || second > maxSecond) return std::nullopt;
  return std::pair{first, second};
}

std::string ClockText(int first, int second) {
  char text[16];
  std::snprintf(text, sizeof text, "%.2d:%.2d", first, second);
  return text;
}

bool SaysNoTest(std::string_view text) { return Cp1251Upper(text).find(W("НЕТ")) != std::string::npos; }

void SortDailyTests(std::array<std::string, 3>& texts) {
  for (std::size_t k = 0; k + 1 < texts.size();) {
    if (SaysNoTest(texts[k]) && !SaysNoTest(texts[k + 1])) {
      std::swap(texts[k], texts[k + 1]);
      k = 0;
    } else {
      ++k;
    }
  }
}

std::optional<std::string> DailyTestEntry(std::string_view text) {
  if (SaysYes(text)) return std::string("08:00");
  if (SaysNoTest(text)) return std::string(text);
  const auto time = SplitClock(TrimBlanks(text), 23, 60);
  if (!time) return std::nullopt;
  return ClockText(time->first, time->second);
}

std::array<std::string, 3> DailyTestsToSend(const std::array<std::string, 3>& texts) {
  std::array<std::string, 3> sent;
  for (std::size_t k = 0; k < texts.size(); ++k) sent[k] = DailyTestEntry(texts[k]).value_or("00:00");
  SortDailyTests(sent);
  return sent;
}

std::optional<int> MainsDelayCode(std::string_view text) {
  if (Cp1251Upper(text).find(W("МЕНЕЕ")) != std::string::npos) return 1;
  // Up to 42:30, the longest delay a code can hold: a delay read from the panel ("31:00" for
  // 30:60) must go back as it came, not as the shortest one.
  const auto delay = SplitClock(TrimBlanks(text), 42, 60);
  if (!delay) return std::nullopt;
  const int code = (delay->first * 60 + delay->second) / 10;
  return code < 1 ? 1 : code > 255 ? 255 : code;
}

std::string MainsDelayText(int code) { return code > 1 ? ClockText(code * 10 / 60, code * 10 % 60) : "00:10"; }

void ShowListText(TControl& list, const std::string& text) {
  int found = -1;
  for (std::size_t i = 0; i < list.Items().size() && found < 0; ++i)
    if (list.Items()[i] == text) found = static_cast<int>(i);
  list.SetItemIndex(found);
  list.SetText(text);
}

TformATests::TformATests(std::string id, std::string caption) : TPlainPage(std::move(id), std::move(caption)) {
  ResolveStatusLabels();
  AddParams();
  StoreListsAsText();  // the lists hold typed times and periods, kept as they show
  for (TControl* list : {&AT1Combo, &AT2Combo, &AT3Combo, &ExATCombo, &V220Combo}) list->SetItemIndex(0);
  for (TControl* list : Daily()) list->onExit = [this](TControl& c) { return LeaveDailyTest(c); };
  V220Check.OnChange([this](TControl&) { ApplyMainsSwitch(); });
  ApplyMainsSwitch();
}

void TformATests::ApplyMainsSwitch() {
  V220Combo.SetEnabled(V220Check.Checked());
  Label14.SetEnabled(V220Check.Checked());
}

bool TformATests::LeaveDailyTest(TControl& list) {
  if (SaysYes(list.Text())) list.SetItemIndex(kMorningItem);
  if (!SaysNoTest(list.Text())) {
    const auto time = SplitClock(TrimBlanks(list.Text()), 23, 60);
    if (!time) {
      ShowError(W("Ошибка!"), W("Введенное значение не является временем."));
      return false;
    }
    ShowListText(list, ClockText(time->first, time->second));
  }
  SortDailyLists();
  return true;
}

void TformATests::SortDailyLists() {
  std::array<std::string, 3> texts;
  const auto lists = Daily();
  for (std::size_t k = 0; k < lists.size(); ++k) texts[k] = lists[k]->Text();
  SortDailyTests(texts);
  for (std::size_t k = 0; k < lists.size(); ++k)
    if (lists[k]->Text() != texts[k]) ShowListText(*lists[k], texts[k]);
}

void TformATests::SetDefaults() {
  for (TControl* list : Daily()) list->SetItemIndex(0);
  ExATCombo.SetItemIndex(kPeriodDefaultItem);
  for (TControl* check : {&AKBBreakCheck, &AKBLowPowerCheck, &V220Check, &RebootCheck}) check->SetChecked(true);
  V220Combo.SetItemIndex(kDelayDefaultItem);
}

void TformATests::AdaptToPanel(const TPanelIdentity& panel) {
  const bool mains = HasMainsEvents(panel.family);
  for (TControl* c : {&V220Label, &V220Check, &Label14, &V220Combo}) c->SetVisible(mains);
  if (mains) return;
  V220Check.SetChecked(false);
  V220Combo.SetItemIndex(0);
}

}  // namespace zorvan
