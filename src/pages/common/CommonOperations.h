#pragma once
// The general settings page's panel operations, run on the worker thread, and the values
// they exchange.
#include <string>
#include <string_view>

namespace zorvan {

// Values as they are sent: four characters, never "0000"; a code of at least 1000.
std::string NormaliseObjectNumber(std::string_view text);
std::string NormaliseMasterCode(std::string_view text);
// "+AQ": characters 4 and 5 of the raw reply as a decimal number, else 0.
int SignalLevelFromReply(std::string_view reply);
// "+AZ": SIM 1 when the raw reply holds a "0" anywhere.
bool SimOneActive(std::string_view reply);

}  // namespace zorvan
