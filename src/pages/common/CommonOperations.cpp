#include "pages/common/CommonOperations.h"

#include <exception>

#include "base/Cp1251.h"
#include "base/ValueHelpers.h"
#include "link/Modem.h"
#include "link/RequestCodes.h"
#include "pages/common/Common.h"
#include "session/DevZorvan.h"
#include "session/OutArray.h"

namespace zorvan {
namespace {

const TControlRef etO{"formCommon", "etO"};
const TControlRef etKey{"formCommon", "etKey"};
const TControlRef ChIMEI{"formCommon", "ChIMEI"};
const TControlRef lbO{"formCommon", "lbO"};
const TControlRef lbKey{"formCommon", "lbKey"};
const TControlRef LIMEI{"formCommon", "LIMEI"};
const TControlRef GSMSig{"formCommon", "GSMSig"};
const TControlRef GSMErr{"formCommon", "GSMErr"};
const TControlRef Label1{"formCommon", "Label1"};
const TControlRef Label2{"formCommon", "Label2"};
const TControlRef URLLabel5{"formCommon", "URLLabel5"};
const TControlRef URLLabel6{"formCommon", "URLLabel6"};

const char* const kDefaultObjectNumber = "0050";
const char* const kDefaultMasterCode = "5281";

bool IsHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); }

// The SIM commands and the signal level: no terminator, the raw reply is what counts.
std::string SendRaw(TDevZorvan& device, const std::string& command) {
  std::string reply;
  if (TModem* worker = device.Worker()) worker->SendCommand(command, reply, true, false, false, "", 4500, 3);
  return reply;
}

void ShowActiveSim(TDevZorvan& device, bool simOne) {
  TOutArray& out = device.Out();
  out.PostText(Label1, simOne ? "t" : "f");
  out.PostText(Label2, simOne ? "f" : "t");
  out.PostText(URLLabel5, simOne ? "f" : "t");
  out.PostText(URLLabel6, simOne ? "t" : "f");
}

// Reads "+AQ" and "+AZ" and shows the level on the active SIM's gauge. Returns the "+AZ" reply.
// Empty when the exchange did not bring the whole answer.
std::string ReadSignal(TDevZorvan& device) {
  const std::string levelReply = SendRaw(device, "+AQ");
  const int level = SignalLevelFromReply(levelReply);
  std::string sim = SendRaw(device, "+AZ");
  // A cut or garbled answer would show the wrong SIM as active: keep what the gauges show.
  if (sim.find("OK") == std::string::npos) return {};
  TOutArray& out = device.Out();
  if (device.Family() == 101) {
    if (levelReply.find("OK") != std::string::npos) out.PostInt(GSMSig, level);
    return sim;
  }
  const bool simOne = SimOneActive(sim);
  const bool twoSims = device.Variant() == 5;
  if (!simOne) {
    if (twoSims) ShowActiveSim(device, false);
    out.PostText(GSMSig, "clMoneyGreen");
    out.PostText(GSMErr, "clBlue");
    out.PostInt(GSMErr, level);
  } else {
    out.PostText(GSMSig, "clBlue");
    out.PostText(GSMErr, "clMoneyGreen");
    if (twoSims) ShowActiveSim(device, true);
    out.PostInt(GSMSig, level);
  }
  return sim;
}

void ReadCommonSteps(TDevZorvan& device) {
  TOutArray& out = device.Out();
  std::string reply;
  if (device.Aborted()) return;
  device.ReadParam("+o", lbO, reply);
  if (!reply.empty()) out.PostText(etO, reply);
  if (device.Aborted()) return;
  device.ReadParam("+FMR", lbKey, reply);
  if (!reply.empty()) out.PostText(etKey, reply);
  if (device.Aborted()) return;
  const std::string sim = ReadSignal(device);
  if (device.Aborted()) return;
  if (HasImeiIdent(device.Family(), device.Build())) {
    device.ReadParam("+P2", LIMEI, reply);
    if (reply.empty()) out.PostColor(LIMEI, clRed);
    else out.PostChecked(ChIMEI, reply.find("01") != std::string::npos);
    if (device.Aborted()) return;
  }
  // A family 101 panel is left on SIM 1 after a read.
  if (device.Family() == 101 && !sim.empty() && !SimOneActive(sim)) SendRaw(device, "+AZ=0");
}

void WriteValue(TDevZorvan& device, const std::string& command, const TControlRef& status) {
  std::string reply;
  const bool ok = device.Query(command, reply, true, "OK", 4500, 3);
  device.Out().PostColor(status, ok ? clBlue : clRed);
}

void WriteCommonSteps(TDevZorvan& device) {
  TOutArray& out = device.Out();
  if (device.Aborted()) return;
  const std::string object = NormaliseObjectNumber(device.Ui().FieldText(etO));
  out.PostText(etO, object);
  WriteValue(device, "+o=" + object, lbO);
  if (device.Aborted()) return;
  const std::string code = NormaliseMasterCode(device.Ui().FieldText(etKey));
  out.PostText(etKey, code);
  WriteValue(device, "+FMW=" + code, lbKey);
  if (device.Aborted()) return;
  if (HasImeiIdent(device.Family(), device.Build())) {
    WriteValue(device, std::string("+P2=") + (device.Ui().FieldChecked(ChIMEI) ? "1" : "0"), LIMEI);
    if (device.Aborted()) return;
  }
  if (device.Family() == 101) SendRaw(device, "+AZ=0");
}

void SelectSim(TDevZorvan& device, bool simOne) {
  TModem* worker = device.Worker();
  // Over a GSM data call the SIM in use carries the call itself.
  if (worker == nullptr || worker->ModemLink()) return;
  SendRaw(device, simOne ? "+AZ=0" : "+AZ=1");
  TOutArray& out = device.Out();
  ShowActiveSim(device, simOne);
  out.PostText(GSMSig, simOne ? "clBlue" : "clMoneyGreen");
  if (simOne) out.PostInt(GSMSig, 0);
  out.PostText(GSMErr, simOne ? "clMoneyGreen" : "clBlue");
  if (!simOne) out.PostInt(GSMErr, 0);
}

}  // namespace

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

void ReadCommon(TDevZorvan& device) {
  try {
    ReadCommonSteps(device);
  } catch (const std::exception&) {
    device.Out().PostLog(W("Ошибка при чтении общих настроек!"), true, true);
  }
}

void WriteCommon(TDevZorvan& device) {
  try {
    WriteCommonSteps(device);
  } catch (const std::exception&) {
    device.Out().PostLog(W("Ошибка при записи общих настроек!"), true, true);
  }
}

void RefreshSignal(TDevZorvan& device) { ReadSignal(device); }

void SelectSim1(TDevZorvan& device) { SelectSim(device, true); }

void SelectSim2(TDevZorvan& device) { SelectSim(device, false); }

void RegisterCommon(TDevZorvan& device) {
  device.RegisterPage("formCommon", {ReadCommon, WriteCommon});
  device.RegisterRequest(request::kSelectSim1, SelectSim1);
  device.RegisterRequest(request::kSelectSim2, SelectSim2);
  device.SetSignalRefresh(RefreshSignal);
}

}  // namespace zorvan
