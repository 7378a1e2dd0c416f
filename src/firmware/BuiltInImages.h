#pragma once
// The two firmware images the program carries: "1" for panel variants 0 and 3, "2" for
// variant 5.
#include <string_view>

#include "firmware/FirmwareImage.h"

namespace zorvan::firmware {

// The embedded text of image 1 or 2; empty for any other number.
std::string_view BuiltInImageText(int number);
// Its lines; empty for any other number.
TImageLines LoadBuiltInImage(int number);

}  // namespace zorvan::firmware
