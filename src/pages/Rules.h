#pragma once
// The rules between pages: one place, wired once every page exists, over typed access to the
// pages (a page not built yet is a null). They run on the user-interface thread: from the
// pages' change handlers, or from a worker step run there.
#include "session/PageCatalogue.h"

namespace zorvan {

void WirePageRules(TPageSet& pages, const TPageContext& context);

}  // namespace zorvan
