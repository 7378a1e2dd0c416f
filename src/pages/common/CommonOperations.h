#pragma once
// The general settings page's panel operations, run on the worker thread.
#include <string>
#include <string_view>

namespace zorvan {

class TDevZorvan;

void ReadCommon(TDevZorvan& device);
void WriteCommon(TDevZorvan& device);
void RefreshSignal(TDevZorvan& device);
void SelectSim1(TDevZorvan& device);
void SelectSim2(TDevZorvan& device);

// Registers the page's read and write, the SIM requests (24, 25) and the idle refresh.
void RegisterCommon(TDevZorvan& device);

// Values as they are sent: four characters, never "0000"; a code of at least 1000.
std::string NormaliseObjectNumber(std::string_view text);
std::string NormaliseMasterCode(std::string_view text);
// "+AQ": characters 4 and 5 of the raw reply as a decimal number, else 0.
int SignalLevelFromReply(std::string_view reply);
// "+AZ": SIM 1 when the raw reply holds a "0" anywhere.
bool SimOneActive(std::string_view reply);

}  // namespace zorvan
