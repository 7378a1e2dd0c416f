#include "pages/atests/ATestsOperations.h"

#include <algorithm>

#include "base/Cp1251.h"
#include "base/ValueHelpers.h"
#include "model/Codecs.h"
#include "pages/atests/ATests.h"
#include "session/OutArray.h"
#include "session/PageCatalogue.h"
#include "session/PageRun.h"

namespace zorvan {
namespace {

// A list's text as an output element: "*" and the text; a number selects an item.
std::string ListText(const std::string& text) { return "*" + text; }
const char* const kFirstItem = "0";

// What a write put into a list's snapshot: the element text, not the shown text.
std::string Unmarked(const std::string& text) { return !text.empty() && text[0] == '*' ? text.substr(1) : text; }

// The period in hours: "Нет" (the first item) for none. A list text that is no number is none.
class TPeriodCodec : public TCodec {
 public:
  std::optional<std::string> Decode(std::string_view reply) const override {
    const auto hours = ParseHex(TrimBlanks(reply));
    if (!hours) return std::nullopt;
    return *hours == 0 ? kFirstItem : ListText(std::to_string(*hours));
  }
  // The panel keeps the period in one byte.
  std::optional<std::string> Encode(const TFieldState& field) const override {
    const long hours = Hours(field);
    if (hours > 255) return std::nullopt;
    return HexText(hours, 2);
  }
  std::optional<std::string> Fill(const TFieldState& field) const override {
    const long hours = Hours(field);
    if (hours == 0) return field.text == W("Нет") ? std::nullopt : std::optional<std::string>(kFirstItem);
    const std::string shown = std::to_string(hours);
    return field.text == shown ? std::nullopt : std::optional<std::string>(ListText(shown));
  }

 private:
  static long Hours(const TFieldState& field) { return PeriodHours(Unmarked(field.text)); }
};

// The mains delay: "ММ:СС" in the list, 10-second units on the wire. A text that is no delay
// is sent as the shortest one, and the list shows it.
class TMainsDelayCodec : public TCodec {
 public:
  std::optional<std::string> Decode(std::string_view reply) const override {
    const auto code = ParseHex(TrimBlanks(reply));
    if (!code || *code > 255) return std::nullopt;
    return *code > 1 ? ListText(MainsDelayText(static_cast<int>(*code))) : kFirstItem;
  }
  std::optional<std::string> Encode(const TFieldState& field) const override {
    return HexText(MainsDelayCode(Unmarked(field.text)).value_or(1), 2);
  }
  std::optional<std::string> Fill(const TFieldState& field) const override {
    const auto code = MainsDelayCode(Unmarked(field.text));
    if (!code || *code <= 1) return field.text == "00:10" ? std::nullopt : std::optional<std::string>(kFirstItem);
    // The panel counts in 10-second steps: the list shows what it will keep.
    const std::string shown = MainsDelayText(*code);
    return field.text == shown ? std::nullopt : std::optional<std::string>(ListText(shown));
  }
};

const TPeriodCodec kPeriod;
const TMainsDelayCodec kMainsDelay;
const TFlagCodec kRestart{TFlagCodec::ZeroIsOff};

enum TRow { kPeriodRow, kDelayRow, kRestartRow };

void Unreadable(TPageRun& run, const TControl& status, const std::string& command, const std::string& reply) {
  run.Device().Out().PostLog(W(" # Непонятный ответ на ") + command + ": " + reply, true, true);
  run.Failed(status, command, TOutcome::Unreadable);
}

void Red(TPageRun& run, std::initializer_list<const TControl*> labels) {
  for (const TControl* label : labels) run.Device().Out().PostColor(*label, clRed);
}

// The entry of a daily test in a "+AH" or "+AM" reply: two digits every three characters.
std::optional<long> DailyEntry(const std::string& reply, std::size_t test) {
  const std::size_t at = test * 3;
  if (at + 2 > reply.size()) return std::nullopt;
  return ParseDecimal(reply.substr(at, 2));
}

void ReadDailyTests(TPageRun& run, const TformATests& page) {
  const TControl &lat1 = page.LAT[1], &lat2 = page.LAT[2], &lat3 = page.LAT[3];
  const TExchange count = run.Exchange("+AN", TQuery::QueryValue);
  if (!count.Ok()) {
    run.Failed(page.Label5, "+AN", count.outcome);
    Red(run, {&lat1, &lat2, &lat3});
    return;
  }
  const auto tests = ParseDecimal(TrimBlanks(count.value));
  if (!tests) {
    Unreadable(run, page.Label5, "+AN", count.value);
    Red(run, {&lat1, &lat2, &lat3});
    return;
  }
  run.Succeeded(page.Label5);
  if (run.Stopped()) return;
  const TExchange hours = run.Exchange("+AH", TQuery::QueryValue);
  if (!hours.Ok()) run.Failed(lat1, "+AH", hours.outcome);
  if (run.Stopped()) return;
  const TExchange minutes = run.Exchange("+AM", TQuery::QueryValue);
  if (!minutes.Ok()) run.Failed(lat1, "+AM", minutes.outcome);
  if (!hours.Ok() || !minutes.Ok()) {
    Red(run, {&lat1, &lat2, &lat3});
    return;
  }
  const std::string hourList = TrimBlanks(hours.value), minuteList = TrimBlanks(minutes.value);
  const auto lists = page.Daily();
  const std::size_t configured = static_cast<std::size_t>(std::min(*tests, 3L));
  for (std::size_t k = 0; k < lists.size(); ++k) {
    const TControl& status = page.LAT[static_cast<int>(k) + 1];
    if (k >= configured) {
      run.Show(*lists[k], kFirstItem);
      run.Succeeded(status);
      continue;
    }
    const auto h = DailyEntry(hourList, k), m = DailyEntry(minuteList, k);
    if (!h) Unreadable(run, status, "+AH", hours.value);
    if (!m) Unreadable(run, status, "+AM", minutes.value);
    if (!h || !m) continue;
    run.Show(*lists[k], ListText(ClockText(static_cast<int>(*h), static_cast<int>(*m))));
    run.Succeeded(status);
  }
}

void ReadPowerEvents(TPageRun& run, const TformATests& page, bool mains) {
  const TExchange power = run.Exchange("+PO", TQuery::QueryValue);
  if (!power.Ok()) {
    run.Failed(page.AKBBreakLabel, "+PO", power.outcome);
    Red(run, {&page.AKBLowPowerLabel});
    if (mains) Red(run, {&page.V220Label});
    return;
  }
  // First mains loss, second mains restore, third battery fault, fourth battery low.
  const std::string events = TrimBlanks(power.value);
  if (events.size() < 4 || events.find_first_not_of("01") != std::string::npos) {
    Unreadable(run, page.AKBBreakLabel, "+PO", power.value);
    Red(run, {&page.AKBLowPowerLabel});
    if (mains) Red(run, {&page.V220Label});
    return;
  }
  run.ShowChecked(page.AKBBreakCheck, events[2] != '0');
  run.ShowChecked(page.V220Check, mains && events[0] != '0');
  run.ShowChecked(page.AKBLowPowerCheck, events[3] != '0');
  run.Succeeded(page.AKBBreakLabel);
  run.Succeeded(page.AKBLowPowerLabel);
  if (mains) run.Succeeded(page.V220Label);
}

void ReadATests(TDevZorvan& device, const TPage& p) {
  const TformATests& page = PageOf<TformATests>(p);
  RunPageSteps(device, page, "Ошибка при чтении системных событий!", [&](TPageRun& run) {
    const auto& rows = page.Params();
    const bool mains = HasMainsEvents(device.Family());
    run.Sequence({[&] { ReadDailyTests(run, page); },
                  [&] { run.Read(rows[kPeriodRow]); },
                  [&] { ReadPowerEvents(run, page, mains); },
                  [&] {
                    if (mains) run.Read(rows[kDelayRow]);
                    else run.Show(page.V220Combo, kFirstItem);
                  },
                  [&] { run.Read(rows[kRestartRow]); }});
  });
}

void WriteDailyTests(TPageRun& run, const TformATests& page) {
  const auto lists = page.Daily();
  std::array<std::string, 3> texts;
  for (std::size_t k = 0; k < lists.size(); ++k) texts[k] = run.Values()[*lists[k]].text;
  // The panel takes its tests from the first slots: times first, and no entry that is no time.
  const std::array<std::string, 3> sent = DailyTestsToSend(texts);
  for (std::size_t k = 0; k < lists.size(); ++k)
    if (sent[k] != texts[k]) run.Show(*lists[k], ListText(sent[k]));
  const auto configured = std::count_if(sent.begin(), sent.end(), [](const std::string& t) { return !SaysNoTest(t); });
  run.Step(page.Label5, "+AN=" + std::to_string(configured), TQuery::ReadParam, "+AN=");
  for (std::size_t k = 0; k < lists.size(); ++k) {
    if (run.Stopped()) return;
    const TControl& status = page.LAT[static_cast<int>(k) + 1];
    const std::optional<std::pair<int, int>> time =
        SaysNoTest(sent[k]) ? std::nullopt : SplitClock(sent[k], 23, 60);
    const int h = time ? time->first : 0, m = time ? time->second : 0;
    const std::string slot = std::to_string(k);
    const TExchange hours = run.Exchange("+AH" + slot + "=" + DecimalText(h, 2), TQuery::WriteParam);
    if (!hours.Ok()) run.Failed(status, "+AH" + slot, hours.outcome);
    else run.Written(status, "+AH" + slot);
    if (run.Stopped()) return;
    const TExchange minutes = run.Exchange("+AM" + slot + "=" + DecimalText(m, 2), TQuery::WriteParam);
    if (!minutes.Ok()) run.Failed(status, "+AM" + slot, minutes.outcome);
    else run.Written(status, "+AM" + slot);
    if (hours.Ok() && minutes.Ok()) run.Succeeded(status);
  }
}

void WritePowerEvents(TPageRun& run, const TformATests& page, bool mains) {
  const TPageValues& values = run.Values();
  const bool mainsOn = mains && values[page.V220Check].checked;
  const std::string events = std::string(mainsOn ? "11" : "00") + (values[page.AKBBreakCheck].checked ? "1" : "0") +
                             (values[page.AKBLowPowerCheck].checked ? "1" : "0");
  const TExchange result = run.Exchange("+PO=" + events, TQuery::WriteParam);
  if (result.Ok()) {
    for (const TControl* label : {&page.AKBLowPowerLabel, &page.V220Label, &page.AKBBreakLabel})
      run.Succeeded(*label);
    run.Written(page.AKBBreakLabel, "+PO");
    return;
  }
  run.Failed(page.AKBBreakLabel, "+PO", result.outcome);
  Red(run, {&page.AKBLowPowerLabel, &page.V220Label});
}

void WriteATests(TDevZorvan& device, const TPage& p) {
  const TformATests& page = PageOf<TformATests>(p);
  RunPageSteps(device, page, "Ошибка при записи системных событий!", [&](TPageRun& run) {
    const auto& rows = page.Params();
    const bool mains = HasMainsEvents(device.Family());
    run.Sequence({
        // The daily tests are sorted together: they go only as a whole.
        [&] {
          if (run.Holds({&page.AT1Combo, &page.AT2Combo, &page.AT3Combo}, "+AN=")) WriteDailyTests(run, page);
        },
        [&] { run.Write(rows[kPeriodRow]); },
        [&] {
          if (run.Holds({&page.V220Check, &page.AKBBreakCheck, &page.AKBLowPowerCheck}, "+PO="))
            WritePowerEvents(run, page, mains);
        },
        // While the mains events are off the delay list is disabled: the shortest delay is sent.
        [&] {
          if (!run.Holds({&page.V220Check}, "+WI=")) return;
          if (mains && run.Values()[page.V220Check].checked) run.Write(rows[kDelayRow]);
          else run.Step(page.Label14, "+WI=01", TQuery::ReadParam, "+WI=");
        },
        [&] { run.Write(rows[kRestartRow]); }});
  });
}

}  // namespace

TParam PeriodParam(TControl& field) {
  return {.field = &field, .read = "+AA", .write = "+AA=", .codec = &kPeriod, .readStyle = TQuery::QueryValue};
}

TParam MainsDelayParam(TControl& field) {
  return {.field = &field, .read = "+WI", .write = "+WI=", .codec = &kMainsDelay, .readStyle = TQuery::QueryValue};
}

TParam RestartParam(TControl& field) {
  return {.field = &field, .read = "+r", .write = "+r=", .codec = &kRestart, .readStyle = TQuery::QueryValue};
}

void TformATests::AddParams() {
  // In the order of TRow.
  AddParam(PeriodParam(ExATCombo));
  AddParam(MainsDelayParam(V220Combo));
  AddParam(RestartParam(RebootCheck));
}

const TPageKind& ATestsKind() {
  static const TPageKind kind{
      .create = CreatePage<TformATests>,
      .read = ReadATests,
      .write = WriteATests,
  };
  return kind;
}

}  // namespace zorvan
