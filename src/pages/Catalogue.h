#pragma once
// The program's pages: one row each, in the order of the family-9 page tree.
#include "session/PageCatalogue.h"

namespace zorvan {

const TCatalogue& PageCatalogue();

}  // namespace zorvan
