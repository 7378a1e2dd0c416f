// The outputs page's parameters and panel operations (worker thread).
#include "base/Cp1251.h"
#include "base/ValueHelpers.h"
#include "link/RequestCodes.h"
#include "model/Codecs.h"
#include "pages/outs/Outs.h"
#include "session/OutArray.h"
#include "session/PageCatalogue.h"
#include "session/PageRun.h"

namespace zorvan {
namespace {

// "+y": seconds in two hexadecimal digits. What the panel holds is always shown: below 2 as 1,
// and what is no number as 255; the field's text goes back as two digits.
class TSirenTimeCodec : public TCodec {
 public:
  std::optional<std::string> Decode(std::string_view reply) const override {
    const auto value = ParseHex(TrimBlanks(reply));
    long seconds = value ? *value : 255;
    if (seconds < 2) seconds = 1;
    if (seconds > 255) seconds = 255;
    return "*" + std::to_string(seconds);  // the list's edit text, not an item
  }
  std::optional<std::string> Encode(const TFieldState& field) const override {
    const auto value = ParseDecimal(TrimBlanks(field.text));
    if (!value || *value > 255) return std::nullopt;
    return HexText(*value, 2);
  }
  std::optional<std::string> Fill(const TFieldState& field) const override {
    // Shown as the list's edit text.
    if (auto kept = FillWith(SirenTimeText(TrimBlanks(field.text)), field.text)) return "*" + *kept;
    return std::nullopt;
  }
};

const TSirenTimeCodec kSirenTime;
const TFlagCodec kSirenCancel{TFlagCodec::FirstIsOne};

// The state digit of a "+e" reply: bit 0 is ОК1, bit 1 ОК2; -1 when it is none.
int OutputState(const std::string& reply) {
  if (reply.size() < 2 || reply[1] < '0' || reply[1] > '3') return -1;
  return reply[1] - '0';
}

void ReadOuts(TDevZorvan& device, const TPage& p) {
  const TformOuts& page = PageOf<TformOuts>(p);
  RunPageSteps(device, page, "Ошибка при чтении настроек выходов!", [&](TPageRun& run) {
    const TExchange outputs = run.Exchange("+e", TQuery::QueryValue);
    if (!outputs.Ok()) {
      run.Failed(page.GroupBox1, "+e", outputs.outcome);
    } else if (const int state = OutputState(outputs.value); state >= 0) {
      // The links keep their captions when the state means nothing.
      for (const auto& [link, bit] : {std::pair{&page.URLLabel1, 1}, std::pair{&page.URLLabel2, 2}}) {
        const bool on = (state & bit) != 0;
        device.Out().PostText(*link, on ? W("Выключить") : W("Включить"));
      }
    }
    run.ReadTable();
  });
}

void WriteOuts(TDevZorvan& device, const TPage& p) {
  RunPageSteps(device, p, "Ошибка при записи настроек выходов!", [&](TPageRun& run) { run.WriteTable(); });
}

// Flips one output: the panel's own state decides, so two clicks never fight a stale caption.
void SwitchOutput(TDevZorvan& device, int bit) {
  const TExchange outputs = device.Exchange("+e", TQuery::QueryValue);
  if (!outputs.Ok()) return;
  const int state = OutputState(outputs.value);
  device.Exchange(state < 0 ? std::string("+e=") : "+e=1" + std::to_string(state ^ bit), TQuery::WriteParam);
}

void SwitchOutput1(TDevZorvan& device, const TPage&) { SwitchOutput(device, 1); }
void SwitchOutput2(TDevZorvan& device, const TPage&) { SwitchOutput(device, 2); }

}  // namespace

void TformOuts::AddParams() {
  AddParam({.field = &SyrenTimeComboBox, .read = "+y", .write = "+y=", .codec = &kSirenTime,
            .readStyle = TQuery::QueryValue, .writeStyle = TQuery::WriteParam});
  AddParam({.field = &SyrenCancelCheckBox, .read = "+yc", .write = "+yc=", .codec = &kSirenCancel,
            .readStyle = TQuery::QueryValue, .writeStyle = TQuery::WriteParam});
}

const TPageKind& OutsKind() {
  static const TPageKind kind{
      .create = CreatePage<TformOuts>,
      .read = ReadOuts,
      .write = WriteOuts,
      .requests = {{.code = request::kSwitchOutput1, .operation = SwitchOutput1},
                   {.code = request::kSwitchOutput2, .operation = SwitchOutput2}},
  };
  return kind;
}

}  // namespace zorvan
