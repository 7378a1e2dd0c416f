#pragma once
// The engineer numbers page's parameters and panel operations (worker thread).
#include "model/Param.h"

namespace zorvan {

// "+jk" / "+Jk=": engineer number k + 1, k = 0..4.
TParam EngineerNumberParam(TControl& field, int k);
// "+E" / "+E=": "1" restricts configuration to the engineer numbers (the box unchecked).
TParam AnyNumberParam(TControl& field);

}  // namespace zorvan
