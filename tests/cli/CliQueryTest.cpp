// A page read that fails in a query with tries of its own is a failed read for the tool: exit
// 1 and the settings file left as it was.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "cli/CliPages.h"
#include "link/Clock.h"
#include "pages/Catalogue.h"
#include "session/PageRun.h"
#include "sim/VirtualPanel.h"

namespace zorvan {
namespace {

class TQueryPage : public TformIncl {
 public:
  TQueryPage(std::string id, std::string caption) : TformIncl(std::move(id), std::move(caption)) {
    ResolveStatusLabels();
  }
  ZORVAN_CONTROL(etLoops, K::Edit, .status = "lbLoops");
  ZORVAN_CONTROL(lbLoops, K::Label, .caption = "Loop numbering");
};

void ReadWithQuery(TDevZorvan& device, const TPage& page) {
  RunPageSteps(device, page, "Ошибка при чтении!", [&](TPageRun& run) {
    const TExchange loops = run.Step(PageOf<TQueryPage>(page).lbLoops, "+T", TQuery::Query("OK", 4500, 3), "+T");
    if (loops.Ok()) device.Out().PostText(PageOf<TQueryPage>(page).etLoops, loops.value);
  });
}

TEST(CliQuery, AFailedQueryInAPageReadLeavesTheFileAsItWas) {
  TScopedTimeScale fast(0.02);
  const TPageKind kind{.create = CreatePage<TQueryPage>, .read = ReadWithQuery};
  TCatalogue catalogue = PageCatalogue();
  catalogue.pages[static_cast<std::size_t>(TPageId::Common)].kind = &kind;
  sim::TPanelOptions options;
  options.lineRate = 0;
  sim::TVirtualPanel panel(options);
  panel.Parameters().AddValue("T", "1");
  panel.AddFault({sim::TFaultKind::Silent, "+T", -1});
  TCliConnection connection;
  connection.port = panel.Start();
  const std::string file = ::testing::TempDir() + "zorvan-cli-query.ini";
  const std::string old = "[formCommon]\r\netLoops=1\r\n";
  std::ofstream(file, std::ios::binary | std::ios::trunc) << old;

  EXPECT_EQ(RunPages(connection, {.write = false, .page = "formCommon", .file = file}, catalogue), 1);
  std::stringstream text;
  text << std::ifstream(file, std::ios::binary).rdbuf();
  EXPECT_EQ(text.str(), old);
  const auto lines = panel.ReceivedLines();
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "+T"), 3);  // three tries, one attempt each

  // Answered, the same read saves the file.
  panel.ClearFaults();
  EXPECT_EQ(RunPages(connection, {.write = false, .page = "formCommon", .file = file}, catalogue), 0);
}

}  // namespace
}  // namespace zorvan
