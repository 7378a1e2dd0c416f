// The device object's query operations against the virtual panel: tries, attempts, time-outs,
// refusals, lost lines and the abort flag.
#include <gtest/gtest.h>

#include <algorithm>

#include "link/Clock.h"
#include "link/Modem.h"
#include "session/DevZorvan.h"
#include "session/OutArray.h"
#include "sim/VirtualPanel.h"

namespace zorvan {
namespace {

// Field reads answer at once on the calling thread.
class TDirectUi : public TUiBridge {
 public:
  void RunOnUiThread(std::function<void()> action) override { action(); }
  std::string FieldText(const TControlRef&) override { return text; }
  bool FieldChecked(const TControlRef&) override { return false; }
  int FieldItemIndex(const TControlRef&) override { return -1; }
  TPageValues PageValues(const TForm&) override { return {}; }
  int ConnectProtocol() override { return 0; }
  void AdaptUiToPanel(const TPanelInfo&) override {}
  std::string text;
};

struct QueryTest : ::testing::Test {
  QueryTest() : panel(sim::TPanelOptions{"09.005.012", "0100", "5281", 0}) {}
  void SetUp() override {
    modem = std::make_unique<TModem>(panel.Start(), device);
    modem->OpenPort();
    ASSERT_TRUE(modem->PortOpen());
    device.SetWorker(modem.get());
    device.SetUi(&ui);
    Colours();
  }
  void TearDown() override { device.SetWorker(nullptr); }
  long Count(const std::string& line) const {
    auto lines = panel.ReceivedLines();
    return std::count(lines.begin(), lines.end(), line);
  }
  // The colours posted to status labels since the last call, in order.
  std::vector<std::string> Colours() {
    std::vector<std::string> colours;
    while (auto element = out.TakeElement())
      if (element->Kind() == kOutColor) colours.push_back(static_cast<TControlOut&>(*element).text);
    return colours;
  }
  void Answer(const std::string& name, std::string value) {
    panel.Parameters().AddHandler(name, [value](const sim::TCommand&) { return sim::TAnswer::Ok(value); });
  }

  TScopedTimeScale fast{0.01};
  sim::TVirtualPanel panel;
  TOutArray out;
  TDevZorvan device{out};
  TDirectUi ui;
  std::unique_ptr<TModem> modem;
  const TControlRef status{"formTest", "lbTest"};
  const TControlRef edit{"formTest", "etTest"};
};

TEST_F(QueryTest, QueryTriesEachTimeOnceAndOnlyALostLineAborts) {
  panel.AddFault({sim::TFaultKind::Silent, "+o", -1});
  std::string reply = "old";
  EXPECT_FALSE(device.Query("+o", reply, true, "OK", 4500, 6));
  EXPECT_EQ(Count("+o"), 6);
  EXPECT_FALSE(device.Aborted());

  panel.ClearFaults();
  panel.AddFault({sim::TFaultKind::NoCarrier, "+FMR", 1});
  EXPECT_FALSE(device.Query("+FMR", reply, true, "OK", 4500, 3));
  EXPECT_TRUE(device.Aborted());
  EXPECT_TRUE(modem->IsTerminated());  // the line check ends the connection
}

TEST_F(QueryTest, PresetsAndRetriesNeverAbort) {
  std::string reply;
  EXPECT_TRUE(device.QueryShort("+o", reply, true));
  EXPECT_EQ(reply, "0050");
  Answer("AN", "ERR1");  // a value that holds "ERR" before "OK"
  EXPECT_FALSE(device.QueryMedium("+AN", reply, true));
  EXPECT_FALSE(device.QueryLong("+AN", reply, true));
  EXPECT_TRUE(device.QueryShort("+AN", reply, true));

  panel.AddFault({sim::TFaultKind::Silent, "+FMR", 2});
  EXPECT_TRUE(device.QueryRetry("+FMR", reply));  // the third try is answered
  EXPECT_EQ(reply, "5281");
  EXPECT_EQ(Count("+FMR"), 3);
  panel.AddFault({sim::TFaultKind::Err, "+o=0123", -1});
  EXPECT_FALSE(device.WriteRetry("+o=0123"));
  EXPECT_EQ(Count("+o=0123"), 3);
  EXPECT_TRUE(device.WriteParam("+o=0124"));
  EXPECT_TRUE(device.QueryValue("+o", reply));
  EXPECT_EQ(reply, "0124");
  EXPECT_FALSE(device.Aborted());
}

TEST_F(QueryTest, ParamOperationsColourTheirStatus) {
  std::string reply;
  bool failed = true;
  device.TryReadParam("+o", status, reply, failed);
  EXPECT_FALSE(failed);
  EXPECT_EQ(reply, "0050");
  EXPECT_EQ(Colours(), (std::vector<std::string>{"clWindowText", "clBlue"}));

  // A refusal: three full attempts, then red; into an edit it leaves the edit as it was.
  panel.AddFault({sim::TFaultKind::Err, "+FMR", -1});
  device.ReadParam("+FMR", status, reply);
  EXPECT_EQ(reply, "");
  EXPECT_EQ(Count("+FMR"), 3);
  EXPECT_EQ(Colours(), (std::vector<std::string>{"clWindowText", "clRed"}));
  std::string value = "x";
  device.ReadParamToEdit(edit, "+FMR", value, status);
  EXPECT_EQ(value, "");
  std::vector<std::string> posted;
  while (auto element = out.TakeElement())
    if (element->Kind() == kOutControl || element->Kind() == kOutColor)
      posted.push_back(static_cast<TControlOut&>(*element).target.control + "=" +
                       static_cast<TControlOut&>(*element).text);
  EXPECT_EQ(posted, (std::vector<std::string>{"lbTest=clWindowText", "lbTest=clRed"}));

  ui.text = "7";
  device.WriteParamFromEdit(edit, "+o=0", 3, status);
  EXPECT_EQ(Count("+o=0007"), 1);
  EXPECT_EQ(Colours(), (std::vector<std::string>{"clWindowText", "clBlue"}));
  ui.text = "seven";
  device.WriteParamFromEdit(edit, "+o=", 4, status);
  EXPECT_EQ(Colours(), (std::vector<std::string>{"clWindowText", "clRed"}));
}

}  // namespace
}  // namespace zorvan
