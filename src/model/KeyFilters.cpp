#include "model/KeyFilters.h"

namespace zorvan {

char FilterDigitKey(char key) { return key == '\b' || (key >= '0' && key <= '9') ? key : 0; }

}  // namespace zorvan
