#pragma once
// The system events page: up to three daily autotests, an additional periodic autotest, the
// power events with the mains delay, and the restart event.
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "model/KeyFilters.h"
#include "model/Page.h"

namespace zorvan {

// Digits and backspace.

// The periodic test's period in hours as the list keeps it: a text that is no number is none
// (0), and the panel holds at most 255 hours.
long PeriodHours(std::string_view text);

// "ЧЧ:ММ" or "ММ:СС": five characters, digits around any one separator, each half at most its
// limit. The two numbers, or nothing.
std::optional<std::pair<int, int>> SplitClock(std::string_view text, int maxFirst, int maxSecond);
// "%.2d:%.2d".
std::string ClockText(int first, int second);

// A daily list that says "no test" ("НЕТ" in any letter case, cp1251).
bool SaysNoTest(std::string_view text);
// A daily list's entry as leaving the list takes it: "ДА" is the morning test, a "no test"
// entry stays, a valid time is normalised; nothing for anything else.
std::optional<std::string> DailyTestEntry(std::string_view text);
// Sorts the daily tests: times first in their order, "no test" entries last.
void SortDailyTests(std::array<std::string, 3>& texts);
// What a write sends for the daily lists as they stand: "ДА" is the morning test, a valid time
// normalised, anything else 00:00; then sorted. "No test" entries stay as they are.
std::array<std::string, 3> DailyTestsToSend(const std::array<std::string, 3>& texts);

// The mains event delay in 10-second units for a "ММ:СС" text (1..255); nothing when the text
// is not a delay.
std::optional<int> MainsDelayCode(std::string_view text);
// The list text of a delay code: "ММ:СС", or the first item for codes 0 and 1.
std::string MainsDelayText(int code);

// Family 101 panels have no mains events.
inline bool HasMainsEvents(int family) { return family != 101; }

class TformATests : public TPlainPage {
 public:
  TformATests(std::string id, std::string caption);

  void SetDefaults() override;
  void AdaptToPanel(const TPanelIdentity& panel) override;

  ZORVAN_CONTROL(GroupBox5, K::GroupBox, .caption = "Автотесты");
  ZORVAN_CONTROL(Label5, K::Label, .caption = "Генерировать ежедневные автотесты в ЧЧ:ММ");
  ZORVAN_CONTROLS(LAT, 3, K::Label, .caption = "Автотест %d");
  ZORVAN_CONTROL(AT1Combo, K::ComboBox, .hint = "Нет", .status = "LAT1", .rule = DailyTestEntry,
                 .items = {"Нет", "00:00", "08:00", "16:00"});
  ZORVAN_CONTROL(AT2Combo, K::ComboBox, .hint = "Нет", .status = "LAT2", .rule = DailyTestEntry,
                 .items = {"Нет", "00:00", "08:00", "16:00"});
  ZORVAN_CONTROL(AT3Combo, K::ComboBox, .hint = "Нет", .status = "LAT3", .rule = DailyTestEntry,
                 .items = {"Нет", "00:00", "08:00", "16:00"});
  ZORVAN_CONTROL(Label10, K::Label, .caption = "Генерировать дополнительный переодический автотест каждые ЧЧ");
  ZORVAN_CONTROL(ExATCombo, K::ComboBox, .hint = "Нет", .keys = FilterDigitKey, .status = "Label10",
                 .items = {"Нет", "1", "6", "12", "24"});

  ZORVAN_CONTROL(GroupBox7, K::GroupBox, .caption = "Питание");
  ZORVAN_CONTROL(AKBBreakCheck, K::CheckBox, .hint = "false", .status = "AKBBreakLabel");
  ZORVAN_CONTROL(AKBBreakLabel, K::Label, .caption = "Генерировать событие \"Неисправность АКБ\"");
  ZORVAN_CONTROL(AKBLowPowerCheck, K::CheckBox, .hint = "false", .status = "AKBLowPowerLabel");
  ZORVAN_CONTROL(AKBLowPowerLabel, K::Label, .caption = "Генерировать событие \"Разряд АКБ\"");
  ZORVAN_CONTROL(V220Check, K::CheckBox, .hint = "false", .status = "V220Label");
  ZORVAN_CONTROL(V220Label, K::Label,
                 .caption = "Генерировать события \"Исчезновение 220В\" и \"Восстановление 220В\"");
  ZORVAN_CONTROL(Label14, K::Label,
                 .caption = "Генерировать события \"Исчезновение 220В\" и \"Восстановление 220В\" через указанное "
                            "время после исчезнеовения или восстановления сетевого питания (ММ:СС). Время кратно "
                            "10 секундам.");
  ZORVAN_CONTROL(V220Combo, K::ComboBox, .hint = "00:10", .status = "Label14",
                 .items = {"00:10", "00:20", "00:30", "01:00", "05:00", "10:00", "20:00", "30:00"});

  ZORVAN_CONTROL(GroupBox8, K::GroupBox, .caption = "Система");
  ZORVAN_CONTROL(RebootCheck, K::CheckBox, .hint = "false", .status = "RebootLabel");
  ZORVAN_CONTROL(RebootLabel, K::Label, .caption = "Генерировать событие \"Перезагрузка\"");

  // The daily lists in slot order.
  std::array<TControl*, 3> Daily() const { return {&AT1Combo, &AT2Combo, &AT3Combo}; }

 private:
  void AddParams();  // beside the operations that run them
  // The delay only matters while the mains events are on.
  void ApplyMainsSwitch();
  // Leaving a daily list: false when it holds no time and must be corrected.
  bool LeaveDailyTest(TControl& list);
  void SortDailyLists();
};

// Shows a text in a list, selecting the item that has it (none when no item has).
void ShowListText(TControl& list, const std::string& text);

}  // namespace zorvan
