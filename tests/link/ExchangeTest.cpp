// The command exchange against the virtual panel over a real pseudo-terminal pair.
#include <gtest/gtest.h>

#include <algorithm>

#include "base/Cp1251.h"
#include "link/Clock.h"
#include "link/Modem.h"
#include "link/XComDrv.h"
#include "session/Device.h"
#include "session/OutArray.h"
#include "sim/VirtualPanel.h"

using namespace zorvan;

namespace {

class TNoDevice : public TDevice {
 public:
  using TDevice::TDevice;
  void ReadPage() override {}
  void WritePage() override {}
  void ReadAll() override {}
  void WriteAll() override {}
  void Run(std::uint8_t) override {}
};

std::vector<std::string> LogLines(TOutArray& out) {
  std::vector<std::string> lines;
  while (auto element = out.TakeElement())
    if (element->Kind() == 1) {
      std::string text = static_cast<TMemoOut&>(*element).text;
      // Drop the time stamp ("dd.mm.yyyy hh:mm:ss ").
      if (text.size() > 20 && text[2] == '.' && text[5] == '.' && text[13] == ':') text = text.substr(20);
      lines.push_back(text);
    }
  return lines;
}

bool Has(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

struct ExchangeTest : ::testing::Test {
  explicit ExchangeTest(double rate = 0, double thinkMs = 0)
      : panel(sim::TPanelOptions{"09.005.012", "0100", "5281", rate, {18, 11}, thinkMs}) {}
  void SetUp() override {
    modem = std::make_unique<TModem>(panel.Start(), device);
    modem->OpenPort();
    ASSERT_TRUE(modem->PortOpen());
    LogLines(out);
  }
  sim::TVirtualPanel panel;
  TOutArray out;
  TNoDevice device{out};
  std::unique_ptr<TModem> modem;
};

}  // namespace

TEST(SerialPort, OpeningIsExclusiveAndClosedPortRaises) {
  sim::TVirtualPanel panel;
  std::string path = panel.Start();
  TXComm first, second;
  first.SetDeviceName(path);
  second.SetDeviceName(path);
  first.Open();
  try {
    second.Open();
    FAIL() << "a second opener got the port";
  } catch (const EDeviceError& error) {
    EXPECT_EQ(error.Code(), 65535);
    // The reason is named: another program holds the port.
    EXPECT_EQ(Cp1251ToUtf8(error.what()), "Не удалось открыть порт " + path + ": порт занят другой программой");
  }
  EXPECT_EQ(first.ReadAvailable(), "");
  // A port that is not there says so.
  TXComm missing;
  missing.SetDeviceName("/dev/zorvan-no-such-port");
  try {
    missing.Open();
    FAIL();
  } catch (const EDeviceError& error) {
    EXPECT_EQ(Cp1251ToUtf8(error.what()), "Не удалось открыть порт /dev/zorvan-no-such-port: нет такого файла или папки");
  }
  first.Close();
  second.Open();  // free again once closed
  second.Close();
  try {
    second.InQueueCount();
    FAIL();
  } catch (const EDeviceError& error) {
    EXPECT_EQ(error.Code(), 1);
    EXPECT_EQ(Cp1251ToUtf8(error.what()), "Порт не открыт.");
  }
}

TEST_F(ExchangeTest, AnswerDropsTheEchoButTheLogKeepsIt) {
  std::string reply;
  EXPECT_FALSE(modem->SendCommand("+v", reply, true, false, true, "OK", 4500, 1));
  EXPECT_EQ(reply.find("+v"), std::string::npos);
  EXPECT_NE(reply.find("09.005.012\rOK"), std::string::npos);
  auto lines = LogLines(out);
  EXPECT_TRUE(Has(lines, "-> com: +v"));
  EXPECT_TRUE(Has(lines, "<- com:  +v\r09.005.012\rOK\r"));
  EXPECT_FALSE(Has(lines, W(" # Попытка № 1")));
}

TEST_F(ExchangeTest, ErrorWordAgainstRequiredTerminatorWaitsEveryAttempt) {
  TScopedTimeScale fast(0.02);
  panel.AddFault({sim::TFaultKind::Err, "+o", -1});
  std::string reply;
  EXPECT_TRUE(modem->SendCommand("+o", reply, true, false, true, "OK", 4500, 2));
  auto lines = LogLines(out);
  EXPECT_TRUE(Has(lines, W(" # Попытка № 1")));
  EXPECT_TRUE(Has(lines, W(" # Попытка № 2")));
  EXPECT_EQ(panel.ReceivedLines().size(), 2u);

  // Without require terminator the text that came counts as an answer.
  EXPECT_FALSE(modem->SendCommand("+o", reply, true, false, false, "OK", 4500, 1));
  EXPECT_NE(reply.find("ERR\r"), std::string::npos);
  EXPECT_FALSE(modem->IsTerminated());
}

TEST_F(ExchangeTest, SilentPanelGivesNoAnswer) {
  TScopedTimeScale fast(0.02);
  panel.AddFault({sim::TFaultKind::Silent, "+o", -1});
  std::string reply = "stale";
  EXPECT_TRUE(modem->SendCommand("+o", reply, true, false, true, "OK", 4500, 3));
  EXPECT_EQ(reply, "");
  EXPECT_EQ(panel.ReceivedLines().size(), 3u);
}

TEST_F(ExchangeTest, LostCarrierEndsTheConnection) {
  panel.AddFault({sim::TFaultKind::NoCarrier, "+o", 1});
  std::string reply;
  EXPECT_FALSE(modem->SendCommand("+o", reply, true, false, true, "OK", 4500, 3));
  EXPECT_TRUE(modem->IsTerminated());
  EXPECT_TRUE(Has(LogLines(out), W("Цифровое соединение разорвано!")));
  EXPECT_EQ(panel.ReceivedLines().size(), 1u);
}

TEST_F(ExchangeTest, UnaskedLostCarrierIsNoticedByTheNextFlush) {
  panel.SendUnasked("\r\nNO CARRIER\r\n");
  SleepMs(50);
  modem->FlushInput();
  auto lines = LogLines(out);
  EXPECT_TRUE(Has(lines, "<<<<- \r\nNO CARRIER\r\n"));
  EXPECT_TRUE(modem->IsTerminated());
}

TEST_F(ExchangeTest, GarbageIsAnAnswerWithoutValue) {
  TScopedTimeScale fast(0.02);
  panel.AddFault({sim::TFaultKind::Garbage, "+o", -1});
  std::string reply;
  EXPECT_TRUE(modem->SendCommand("+o", reply, true, false, true, "OK", 4500, 1));
  EXPECT_FALSE(modem->IsTerminated());
}

TEST_F(ExchangeTest, VanishedLineEndsWithAPortFailure) {
  panel.AddFault({sim::TFaultKind::CloseLine, "+o", 1});
  std::string reply;
  EXPECT_TRUE(modem->SendCommand("+o", reply, true, false, true, "OK", 4500, 3));
  EXPECT_TRUE(modem->IsTerminated());
  EXPECT_NE(modem->PortFailure().find(W("Ошибка чтения из порта.")), std::string::npos);
}

// The cable's rate, and a panel that takes its time between the echo and the answer.
struct SlowLineTest : ExchangeTest {
  SlowLineTest() : ExchangeTest(19200.0 / 11.0, 30) {}
};

TEST_F(SlowLineTest, WithoutATerminatorTheAnswerLineAfterTheEchoIsAwaited) {
  // The echo's own carriage return must not end the read, or the answer is left on the line
  // and turns up in front of the next command's.
  for (int round = 0; round < 2; ++round) {
    std::string reply;
    EXPECT_FALSE(modem->SendCommand("+v", reply, true, false, false, "", 4500, 1));
    EXPECT_EQ(reply.rfind("\r09.005.012\r", 0), 0u) << round << ": " << reply;
  }
  for (const auto& line : LogLines(out)) EXPECT_EQ(line.find("<<<<- "), std::string::npos) << line;
}

TEST_F(ExchangeTest, TerminationEndsAWaitWithinOnePeriod) {
  panel.AddFault({sim::TFaultKind::Silent, "", -1});
  std::thread stopper([&] {
    SleepMs(100);
    modem->Terminate();
  });
  auto start = NowMs();
  std::string reply;
  EXPECT_FALSE(modem->ReadUntil(reply, 4500, "OK"));
  EXPECT_LT(NowMs() - start, 1000);
  stopper.join();
}
