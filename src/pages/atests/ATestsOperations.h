#pragma once
// The system events page's panel operations (worker thread) and its parameter rows.
#include "model/Param.h"

namespace zorvan {

// "+AA" / "+AA=": the additional autotest's period in hours, hexadecimal of at least two digits.
TParam PeriodParam(TControl& field);
// "+WI" / "+WI=": the mains event delay in 10-second units, two hexadecimal digits.
TParam MainsDelayParam(TControl& field);
// "+r" / "+r=": the restart event, "1" on.
TParam RestartParam(TControl& field);

}  // namespace zorvan
