// The exchange styles through the page runner against the virtual panel: tries, attempts,
// time-outs, refusals, lost lines, the abort flag and the failure records.
#include <gtest/gtest.h>

#include <algorithm>

#include "base/Cp1251.h"
#include "link/Clock.h"
#include "link/Modem.h"
#include "session/DevZorvan.h"
#include "session/OutArray.h"
#include "session/PageRun.h"
#include "sim/VirtualPanel.h"

namespace zorvan {
namespace {

// Field reads answer at once on the calling thread.
class TDirectUi : public TUiBridge {
 public:
  bool RunOnUiThread(std::function<void()> action) override {
    action();
    return true;
  }
  bool RunWithPages(const std::function<void(TPageSet&)>&) override { return false; }
  TAnswer Ask(const TQuestion&) override { return TAnswer::NotAsked; }
  std::string AskFile(const TFileQuestion&) override { return {}; }
  std::string FieldText(const TControlRef&) override { return {}; }
  TPageValues PageValues(const TForm&) override { return {}; }
  int ConnectProtocol() override { return 0; }
  void AdaptUiToPanel(const TPanelInfo&) override {}
};

// One parameter; its status label names it.
class TTestPage : public TPage {
 public:
  TTestPage() : TPage("formTest", "Test") { ResolveStatusLabels(); }
  ZORVAN_CONTROL(etTest, K::Edit, .status = "lbTest");
  ZORVAN_CONTROL(lbTest, K::Label, .caption = "Test parameter");
};

struct QueryTest : ::testing::Test {
  QueryTest() : panel(sim::TPanelOptions{"09.005.012", "0100", "5281", 0}) {}
  void SetUp() override {
    modem = std::make_unique<TModem>(panel.Start(), device);
    modem->OpenPort();
    ASSERT_TRUE(modem->PortOpen());
    device.SetWorker(modem.get());
    device.SetUi(&ui);
    Take();
  }
  void TearDown() override { device.SetWorker(nullptr); }
  long Count(const std::string& line) const {
    auto lines = panel.ReceivedLines();
    return std::count(lines.begin(), lines.end(), line);
  }
  // One step through a runner; what it posted is kept.
  TExchange Step(const std::string& command, const TQuery& style) {
    TExchange result;
    {
      TPageRun run(device, page, "Ошибка при чтении теста!");
      result = run.Step(page.lbTest, command, style, command);
    }
    Take();
    return result;
  }
  void Take() {
    colours.clear();
    failures.clear();
    while (auto element = out.TakeElement()) {
      if (element->Kind() == kOutColor) colours.push_back(static_cast<TControlOut&>(*element).text);
      if (element->Kind() == kOutParam) {
        const auto& param = static_cast<TParamOut&>(*element);
        if (param.failed) failures.push_back(param.status.control + " " + param.command + ": " + Cp1251ToUtf8(param.reason));
      }
    }
  }
  void Answer(const std::string& name, std::string value) {
    panel.Parameters().Override(name, [value](const sim::TCommand&) { return sim::TAnswer::Ok(value); });
  }

  TScopedTimeScale fast{0.01};
  sim::TVirtualPanel panel;
  TOutArray out;
  TDevZorvan device{out};
  TDirectUi ui;
  TTestPage page;
  std::unique_ptr<TModem> modem;
  std::vector<std::string> colours, failures;
};

TEST_F(QueryTest, QueryTriesEachTimeOnceAndOnlyALostLineAborts) {
  panel.AddFault({sim::TFaultKind::Silent, "+o", -1});
  EXPECT_FALSE(Step("+o", TQuery::Query("OK", 4500, 6)).Ok());
  EXPECT_EQ(Count("+o"), 6);
  EXPECT_FALSE(device.Aborted());
  EXPECT_EQ(failures, (std::vector<std::string>{"lbTest +o: панель не ответила"}));
  EXPECT_EQ(colours, (std::vector<std::string>{"clWindowText", "clRed"}));

  panel.ClearFaults();
  panel.AddFault({sim::TFaultKind::NoCarrier, "+FMR", 1});
  EXPECT_EQ(Step("+FMR", TQuery::Query("OK", 4500, 3)).outcome, TOutcome::LineLost);
  EXPECT_TRUE(device.Aborted());
  EXPECT_TRUE(modem->IsTerminated());  // the line check ends the connection
  EXPECT_EQ(failures, (std::vector<std::string>{"lbTest +FMR: связь с панелью потеряна"}));
}

TEST_F(QueryTest, PresetsRetriesAndRefusals) {
  EXPECT_EQ(Step("+o", TQuery::QueryShort).value, "0050");
  EXPECT_EQ(colours, (std::vector<std::string>{"clWindowText", "clBlue"}));
  Answer("AN", "ERR1");  // a value that holds "ERR" before "OK"
  EXPECT_EQ(Step("+AN", TQuery::QueryMedium).outcome, TOutcome::Refused);
  EXPECT_EQ(failures, (std::vector<std::string>{"lbTest +AN: панель ответила ERR"}));
  EXPECT_FALSE(Step("+AN", TQuery::QueryLong).Ok());
  EXPECT_TRUE(Step("+AN", TQuery::QueryShort).Ok());

  panel.AddFault({sim::TFaultKind::Silent, "+FMR", 2});
  const TExchange third = Step("+FMR", TQuery::QueryRetry);  // the third try is answered
  EXPECT_TRUE(third.Ok());
  EXPECT_EQ(third.value, "5281");
  EXPECT_EQ(Count("+FMR"), 3);
  EXPECT_TRUE(failures.empty());

  panel.AddFault({sim::TFaultKind::Err, "+o=0123", -1});
  EXPECT_EQ(Step("+o=0123", TQuery::WriteRetry).outcome, TOutcome::Refused);
  EXPECT_EQ(Count("+o=0123"), 3);
  EXPECT_TRUE(Step("+o=0124", TQuery::WriteParam).Ok());
  EXPECT_EQ(Step("+o", TQuery::QueryValue).value, "0124");
  EXPECT_FALSE(device.Aborted());
}

TEST_F(QueryTest, ARefusalIsAFailureInEveryReadStyle) {
  // Three attempts inside one exchange, then red; read into an edit, it is no value either.
  panel.AddFault({sim::TFaultKind::Err, "+FMR", -1});
  EXPECT_EQ(Step("+FMR", TQuery::ReadParam).outcome, TOutcome::Refused);
  EXPECT_EQ(Count("+FMR"), 3);
  EXPECT_EQ(colours, (std::vector<std::string>{"clWindowText", "clRed"}));
  EXPECT_EQ(Step("+FMR", TQuery::ToEdit).outcome, TOutcome::Refused);
  EXPECT_EQ(failures, (std::vector<std::string>{"lbTest +FMR: панель ответила ERR"}));

  // An edit's read keeps the value without its blanks.
  Answer("GN1", "  internet  ");
  EXPECT_EQ(Step("+GN1", TQuery::ToEdit).value, "internet");
}

}  // namespace
}  // namespace zorvan
