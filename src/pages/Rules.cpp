#include "pages/Rules.h"

#include "pages/common/Common.h"

namespace zorvan {

void WirePageRules(TPageSet& pages, const TPageContext& context) {
  // The panel restarts and the connection is opened again.
  if (auto* common = pages.Get<TformCommon>()) common->reconnect = context.reconnect;
}

}  // namespace zorvan
