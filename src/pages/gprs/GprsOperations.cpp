// The GPRS page's parameters and panel operations (worker thread).
#include "base/Cp1251.h"
#include "base/ValueHelpers.h"
#include "pages/gprs/Gprs.h"
#include "session/OutArray.h"
#include "session/PageCatalogue.h"
#include "session/PageRun.h"

namespace zorvan {
namespace {

// "+GT": the pause in minutes x 100, four decimal digits; item i stands for i + 1 minutes.
const TItemIndexCodec kPause{10, 100, 1, 4};

// A server password goes out with eight characters, unfilled positions as "0".
class TServerPasswordCodec : public TCodec {
 public:
  std::optional<std::string> Decode(std::string_view reply) const override { return TrimBlanks(reply); }
  std::optional<std::string> Encode(const TFieldState& field) const override { return Padded(field.text); }
  std::optional<std::string> Fill(const TFieldState& field) const override {
    return FillWith(Padded(field.text), field.text);
  }

 private:
  static std::string Padded(const std::string& text) {
    std::string value = ServerPasswordText(text);
    if (value.size() < 8) value.resize(8, '0');
    return value;
  }
};

const TServerPasswordCodec kServerPassword;

void ReadGprs(TDevZorvan& device, const TPage& page) {
  RunPageSteps(device, page, "Ошибка при чтении настроек GPRS!", [&](TPageRun& run) { run.ReadTable(); });
}

void WriteGprs(TDevZorvan& device, const TPage& p) {
  const TformGPRS& page = PageOf<TformGPRS>(p);
  RunPageSteps(device, page, "Ошибка при записи настроек GPRS!", [&](TPageRun& run) {
    auto text = [&](const TControl& field) { return run.Values()[field].text; };
    // Nothing is sent empty: an empty field gets its built-in default, shown before it is sent.
    auto fill = [&](const TControl& field) {
      if (text(field).empty()) run.Show(field, field.Hint());
    };
    for (const TControl* field : {&page.etSIM1Phone, &page.etSIM1ADDR, &page.etSIM1LOGIN, &page.etSIM1PSWD,
                                  &page.etSIM2Phone, &page.etSIM2Addr, &page.etSIM2Login, &page.etSIM2Pswd})
      fill(*field);
    // The backup server copies the primary one where it is empty.
    for (const auto& [primary, backup] : {std::pair{&page.etServerAddr1, &page.etServerAddr2},
                                          std::pair{&page.etServerPort1, &page.etServerPort2}})
      if (!text(*primary).empty() && text(*backup).empty()) run.Show(*backup, text(*primary));
    for (const TControl* field : {&page.etServerAddr1, &page.etServerPort1, &page.etServerPswd1, &page.etServerAddr2,
                                  &page.etServerPort2, &page.etServerPswd2})
      fill(*field);
    if (run.Values()[page.cbTime].itemIndex < 0)
      device.Out().PostLog(W("Неверные значения таймаута GPRS!"), true, true);

    // A family-101 panel has one SIM card: its access data goes to both slots.
    const std::pair<TControl*, TControl*> oneSim[] = {{&page.etSIM2Phone, &page.etSIM1Phone},
                                                                  {&page.etSIM2Addr, &page.etSIM1ADDR},
                                                                  {&page.etSIM2Login, &page.etSIM1LOGIN},
                                                                  {&page.etSIM2Pswd, &page.etSIM1PSWD}};
    for (TParam param : page.Params()) {
      if (run.Stopped()) return;
      if (device.Family() == 101)
        for (const auto& [simTwo, simOne] : oneSim)
          if (param.field == simTwo) param.field = simOne;
      run.Write(param);
    }
  });
}

}  // namespace

void TformGPRS::AddParams() {
  // Read into the edits and written from them, in the panel's order.
  const std::pair<TControl*, const char*> texts[] = {
      {&etSIM1Phone, "GC1"},   {&etSIM2Phone, "GC2"},   {&etSIM1ADDR, "GN1"},    {&etSIM2Addr, "GN2"},
      {&etSIM1LOGIN, "GU1"},   {&etSIM2Login, "GU2"},   {&etSIM1PSWD, "GP1"},    {&etSIM2Pswd, "GP2"},
      {&etServerAddr1, "GS1"}, {&etServerAddr2, "GS2"}, {&etServerPort1, "GG1"}, {&etServerPort2, "GG2"},
      {&etServerPswd1, "GI1"}, {&etServerPswd2, "GI2"}};
  for (const auto& [field, name] : texts) {
    const std::string command = std::string("+") + name;
    const bool password = field->IsA(K::MaskEdit);
    AddParam({.field = field, .read = command, .write = command + "=",
              .codec = password ? static_cast<const TCodec*>(&kServerPassword) : &codec::kText,
              .readStyle = TQuery::ToEdit, .writeStyle = TQuery::FromEdit});
  }
  AddParam({.field = &cbTime, .read = "+GT", .write = "+GT=", .codec = &kPause, .readStyle = TQuery::QueryValue});
  AddParam({.field = &cbP, .read = "+P", .write = "+P=", .codec = &codec::kFlag});
}

const TPageKind& GprsKind() {
  static const TPageKind kind{
      .create = CreatePage<TformGPRS>,
      .read = ReadGprs,
      .write = WriteGprs,
  };
  return kind;
}

}  // namespace zorvan
