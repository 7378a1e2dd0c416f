#include "pages/common/CommonOperations.h"

#include "base/Cp1251.h"
#include "base/ValueHelpers.h"
#include "link/Modem.h"
#include "link/RequestCodes.h"
#include "pages/common/Common.h"
#include "session/OutArray.h"
#include "session/PageCatalogue.h"
#include "session/PageRun.h"

namespace zorvan {
namespace {

const char* const kDefaultObjectNumber = "0050";
const char* const kDefaultMasterCode = "5281";

bool IsHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); }

// Four hexadecimal digits; a write sends the normalised field.
class TObjectNumberCodec : public TCodec {
 public:
  std::optional<std::string> Decode(std::string_view reply) const override {
    const std::string value = Cp1251Upper(TrimBlanks(reply));
    if (value.empty() || value.size() > 4) return std::nullopt;
    for (char c : value)
      if (!IsHexDigit(c)) return std::nullopt;
    return value;
  }
  std::optional<std::string> Encode(const TFieldState& field) const override {
    return NormaliseObjectNumber(field.text);
  }
  std::optional<std::string> Fill(const TFieldState& field) const override {
    return FillWith(NormaliseObjectNumber(field.text), field.text);
  }
};

class TMasterCodeCodec : public TCodec {
 public:
  std::optional<std::string> Decode(std::string_view reply) const override {
    const std::string value = TrimBlanks(reply);
    if (value.size() != 4) return std::nullopt;
    for (char c : value)
      if (c < '0' || c > '9') return std::nullopt;
    return value;
  }
  std::optional<std::string> Encode(const TFieldState& field) const override {
    return NormaliseMasterCode(field.text);
  }
  std::optional<std::string> Fill(const TFieldState& field) const override {
    return FillWith(NormaliseMasterCode(field.text), field.text);
  }
};

// "+P2" answers "01" when the protocol is on.
class TImeiCodec : public TCodec {
 public:
  std::optional<std::string> Decode(std::string_view reply) const override {
    const std::string value = TrimBlanks(reply);
    if (value.empty() || value.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
    return value.find("01") != std::string::npos ? "true" : "false";
  }
  std::optional<std::string> Encode(const TFieldState& field) const override { return field.checked ? "1" : "0"; }
};

const TObjectNumberCodec kObjectNumber;
const TMasterCodeCodec kMasterCode;
const TImeiCodec kImei;

bool PanelHasImeiIdent(const TPanelIdentity& panel) { return HasImeiIdent(panel.family, panel.build); }

// The SIM commands and the signal level: no terminator, the raw reply is what counts.
std::string SendRaw(TDevZorvan& device, const std::string& command) {
  std::string reply;
  if (TModem* worker = device.Worker()) worker->SendCommand(command, reply, true, false, false, "", 4500, 3);
  return reply;
}

void ShowActiveSim(TDevZorvan& device, const TformCommon& page, bool simOne) {
  TOutArray& out = device.Out();
  out.PostText(page.Label1, simOne ? "t" : "f");
  out.PostText(page.Label2, simOne ? "f" : "t");
  out.PostText(page.URLLabel5, simOne ? "f" : "t");
  out.PostText(page.URLLabel6, simOne ? "t" : "f");
}

// Reads "+AQ" and "+AZ" and shows the level on the active SIM's gauge. Returns the "+AZ" reply.
// Empty when the exchange did not bring the whole answer.
std::string ReadSignal(TDevZorvan& device, const TformCommon& page) {
  const std::string levelReply = SendRaw(device, "+AQ");
  const int level = SignalLevelFromReply(levelReply);
  std::string sim = SendRaw(device, "+AZ");
  // A cut or garbled answer would show the wrong SIM as active: keep what the gauges show.
  if (sim.find("OK") == std::string::npos) return {};
  TOutArray& out = device.Out();
  if (device.Family() == 101) {
    if (levelReply.find("OK") != std::string::npos) out.PostInt(page.GSMSig, level);
    return sim;
  }
  const bool simOne = SimOneActive(sim);
  const bool twoSims = device.Variant() == 5;
  if (!simOne) {
    if (twoSims) ShowActiveSim(device, page, false);
    out.PostText(page.GSMSig, "clMoneyGreen");
    out.PostText(page.GSMErr, "clBlue");
    out.PostInt(page.GSMErr, level);
  } else {
    out.PostText(page.GSMSig, "clBlue");
    out.PostText(page.GSMErr, "clMoneyGreen");
    if (twoSims) ShowActiveSim(device, page, true);
    out.PostInt(page.GSMSig, level);
  }
  return sim;
}

void ReadCommon(TDevZorvan& device, const TPage& p) {
  const TformCommon& page = PageOf<TformCommon>(p);
  RunPageSteps(device, page, "Ошибка при чтении общих настроек!", [&](TPageRun& run) {
    const auto& params = page.Params();
    std::string sim;
    run.Sequence({[&] { run.Read(params[0]); },
                  [&] { run.Read(params[1]); },
                  [&] { sim = ReadSignal(device, page); },
                  [&] { run.Read(params[2]); },
                  // A family 101 panel is left on SIM 1 after a read.
                  [&] {
                    if (device.Family() == 101 && !sim.empty() && !SimOneActive(sim)) SendRaw(device, "+AZ=0");
                  }});
  });
}

void WriteCommon(TDevZorvan& device, const TPage& p) {
  const TformCommon& page = PageOf<TformCommon>(p);
  RunPageSteps(device, page, "Ошибка при записи общих настроек!", [&](TPageRun& run) {
    run.WriteTable();
    if (!run.Stopped() && device.Family() == 101) SendRaw(device, "+AZ=0");
  });
}

void RefreshSignal(TDevZorvan& device, const TPage& page) { ReadSignal(device, PageOf<TformCommon>(page)); }

// A panel with two SIM cards shows its signal as soon as it is connected.
void ShowSignalOnConnect(TDevZorvan& device, const TPage& page) {
  if (device.Variant() == 5) ReadSignal(device, PageOf<TformCommon>(page));
}

void SelectSim(TDevZorvan& device, const TformCommon& page, bool simOne) {
  TModem* worker = device.Worker();
  // Over a GSM data call the SIM in use carries the call itself.
  if (worker == nullptr || worker->ModemLink()) return;
  SendRaw(device, simOne ? "+AZ=0" : "+AZ=1");
  TOutArray& out = device.Out();
  ShowActiveSim(device, page, simOne);
  out.PostText(page.GSMSig, simOne ? "clBlue" : "clMoneyGreen");
  if (simOne) out.PostInt(page.GSMSig, 0);
  out.PostText(page.GSMErr, simOne ? "clMoneyGreen" : "clBlue");
  if (!simOne) out.PostInt(page.GSMErr, 0);
}

void SelectSim1(TDevZorvan& device, const TPage& page) { SelectSim(device, PageOf<TformCommon>(page), true); }
void SelectSim2(TDevZorvan& device, const TPage& page) { SelectSim(device, PageOf<TformCommon>(page), false); }

}  // namespace

void TformCommon::AddParams() {
  AddParam({.field = &etO, .read = "+o", .write = "+o=", .codec = &kObjectNumber});
  AddParam({.field = &etKey, .read = "+FMR", .write = "+FMW=", .codec = &kMasterCode});
  AddParam({.field = &ChIMEI, .read = "+P2", .write = "+P2=", .codec = &kImei, .applies = PanelHasImeiIdent});
}

std::string NormaliseObjectNumber(std::string_view text) {
  std::string value = Cp1251Upper(TrimBlanks(text));
  if (value.size() != 4) value = ("0000" + value).substr(value.size());
  for (char c : value)
    if (!IsHexDigit(c)) return kDefaultObjectNumber;  // a settings file may hold anything
  if (value == "0000") return kDefaultObjectNumber;
  return value;
}

std::string NormaliseMasterCode(std::string_view text) {
  const std::string value = TrimBlanks(text);
  if (value.empty() || value.size() > 4) return kDefaultMasterCode;
  int number = 0;
  for (char c : value) {
    if (c < '0' || c > '9') return kDefaultMasterCode;
    number = number * 10 + (c - '0');
  }
  return number < 1000 ? kDefaultMasterCode : value;
}

int SignalLevelFromReply(std::string_view reply) {
  if (reply.size() < 5) return 0;
  const char high = reply[3], low = reply[4];
  if (high < '0' || high > '9' || low < '0' || low > '9') return 0;
  return (high - '0') * 10 + (low - '0');
}

bool SimOneActive(std::string_view reply) { return reply.find('0') != std::string_view::npos; }

const TPageKind& CommonKind() {
  static const TPageKind kind{
      .create = CreatePage<TformCommon>,
      .read = ReadCommon,
      .write = WriteCommon,
      .requests = {{.code = request::kSelectSim1, .operation = SelectSim1},
                   {.code = request::kSelectSim2, .operation = SelectSim2}},
      // More than ten whole seconds after the line was last used; it keeps the line in use.
      .idle = {{.operation = RefreshSignal, .periodMs = 11000, .countsAsActivity = true}},
      .connected = ShowSignalOnConnect,
  };
  return kind;
}

}  // namespace zorvan
