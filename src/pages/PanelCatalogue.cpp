#include "pages/PanelCatalogue.h"

#include "pages/atests/ATestsPanel.h"
#include "pages/ennumber/EnNumberPanel.h"
#include "pages/gprs/GprsPanel.h"
#include "pages/outs/OutsPanel.h"

namespace zorvan {

const std::vector<std::pair<TPageId, TPanelCommands>>& PagePanelCommands() {
  static const std::vector<std::pair<TPageId, TPanelCommands>> commands{
      {TPageId::ATests, AddATestsCommands},
      {TPageId::GPRS, AddGprsCommands},
      {TPageId::Outs, AddOutsCommands},
      {TPageId::EnNumber, AddEnNumberCommands},
  };
  return commands;
}

}  // namespace zorvan
