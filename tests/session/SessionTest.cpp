// The device object on a real worker thread against the virtual panel.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <map>

#include "base/Cp1251.h"
#include "link/Clock.h"
#include "link/Modem.h"
#include "session/DevZorvan.h"
#include "pages/Catalogue.h"
#include "session/OutArray.h"
#include "session/UiCallBox.h"
#include "sim/VirtualPanel.h"

using namespace zorvan;

namespace {

class TFakeUi : public TUiBridge {
 public:
  bool RunOnUiThread(std::function<void()> action) override { return calls.Call(std::move(action)); }
  bool RunWithPages(const std::function<void(TPageSet&)>&) override { return false; }
  TAnswer Ask(const TQuestion&) override { return TAnswer::NotAsked; }
  std::string AskFile(const TFileQuestion&) override { return {}; }
  std::string FieldText(const TControlRef& field) override {
    std::string text;
    RunOnUiThread([&] { text = fields[field.form + "." + field.control]; });
    return text;
  }
  TPageValues PageValues(const TForm& page) override {
    TPageValues values;
    RunOnUiThread([&] {
      for (const auto& c : page.Controls()) values.Set(*c, StateOf(*c));
      values.taken = true;
    });
    return values;
  }
  int ConnectProtocol() override { return protocol; }
  void AdaptUiToPanel(const TPanelInfo& info) override {
    adaptedOnUiThread = std::this_thread::get_id() == uiThread;
    panel = info;
  }

  TUiCallBox calls;
  std::map<std::string, std::string> fields{{"dlgConnect.meMasterKey", "5281"}};
  std::thread::id uiThread = std::this_thread::get_id();
  bool adaptedOnUiThread = false;
  int protocol = 0;
  std::optional<TPanelInfo> panel;
};

struct TSessionRig {
  explicit TSessionRig(sim::TPanelOptions options = {"09.005.012", "0100", "5281", 0}) : panel(options) {
    device.SetUi(&ui);
    modem = std::make_unique<TModem>(panel.Start(), device);
    device.SetWorker(modem.get());
  }
  // Behind a virtual GSM modem, dialling the phone with the given connect protocol.
  TSessionRig(sim::TModemOptions modemOptions, const std::string& phone, int protocol,
              sim::TPanelOptions options = {"09.005.012", "0100", "5281", 0})
      : panel(options, modemOptions) {
    device.SetUi(&ui);
    ui.protocol = protocol;
    modem = std::make_unique<TModem>(panel.Start(), phone, protocol, device);
    device.SetWorker(modem.get());
  }
  ~TSessionRig() { Stop(); }

  // Runs the UI side until the connection is up or the worker has ended.
  bool Connect() {
    modem->Start();
    while (!connected && !modem->Finished()) Pump();
    return connected && !modem->Finished();
  }
  void Pump() {
    ui.calls.Serve(2);
    while (auto element = out.TakeElement()) {
      if (element->Kind() == 1) log.push_back(static_cast<TMemoOut&>(*element).text);
      if (element->Kind() == 2) {
        auto& control = static_cast<TControlOut&>(*element);
        if (control.target == controls::kSplashStatus) status = control.text;
        if (control.target == controls::kSplashOk && control.text == "Click") connected = true;
        if (control.target == controls::kDisconnectButton && control.text == "Click") disconnected = true;
        if (control.target == controls::kPageTree && control.text != "true" && control.text != "false")
          treeNodes.push_back(control.text);
      }
      if (element->Kind() == 9) messages.push_back(static_cast<TMsgOut&>(*element).text);
      if (element->Kind() == kOutAllDone) ++allDone;
    }
  }
  void RunRequest(std::uint8_t code) {
    modem->SetRequest(code);
    while (modem->CurrentRequest() == code && !modem->Finished()) Pump();
    Pump();
  }
  void Stop() {
    modem->Terminate();
    while (!modem->Finished()) Pump();
    modem->WaitFor();
    Pump();
  }
  bool Logged(const std::string& text) const {
    return std::any_of(log.begin(), log.end(), [&](const std::string& line) { return line.find(text) != std::string::npos; });
  }

  sim::TVirtualPanel panel;
  TOutArray out;
  TFakeUi ui;
  TDevZorvan device{out};
  std::unique_ptr<TModem> modem;
  bool connected = false;
  bool disconnected = false;
  int allDone = 0;
  std::string status;
  std::vector<std::string> log, treeNodes, messages;
};

}  // namespace

TEST(ConnectSequence, VersionAndPanelTypeDecideTheConnection) {
  struct Case {
    std::string version, typepan;
    bool connects;
    int family, variant, build, flagA, flagB;
  };
  const Case cases[] = {
      {"09.005.012", "0100", true, 9, 5, 12, 0, 0},
      {"09.004.007", "0001", true, 9, 4, 7, 1, 1},
      {"09.003.020", "1101", true, 9, 3, 20, 1, 0},
      {"101.005.003", "0100", true, 101, 5, 3, 0, 0},
      {"09.000.018", "00xx", true, 9, 0, 18, 0, 1},
      {"09.005.012", "\xb5" "001", true, 9, 5, 12, 0, 0},  // a garbled type sets no flag
      {"09.000.018", "0100", false, 0, 0, 0, 0, 0},
      {"09.006.001", "0100", false, 0, 0, 0, 0, 0},
      {"09.005.0x2", "0100", false, 0, 0, 0, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.version + " / " + c.typepan);
    TSessionRig rig({c.version, c.typepan, "5281", 0});
    EXPECT_EQ(rig.Connect(), c.connects);
    if (c.connects) {
      ASSERT_TRUE(rig.ui.panel);
      EXPECT_TRUE(rig.ui.adaptedOnUiThread);
      EXPECT_EQ(rig.ui.panel->family, c.family);
      EXPECT_EQ(rig.ui.panel->variant, c.variant);
      EXPECT_EQ(rig.ui.panel->build, c.build);
      EXPECT_EQ(rig.ui.panel->typepanA, c.flagA);
      EXPECT_EQ(rig.ui.panel->typepanB, c.flagB);
      EXPECT_EQ(rig.status, W("СОЕДИНЕНИЕ УСТАНОВЛЕНО"));
    } else {
      rig.Stop();
      EXPECT_EQ(rig.status, W("ОШИБКА при проверки версии!"));
      EXPECT_TRUE(rig.disconnected);
    }
    rig.Stop();
    // Every connection ends with the restart command, also a failed one.
    auto lines = rig.panel.ReceivedLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "+rb");
  }
}

TEST(ConnectSequence, WrongMasterCodeAndLockOut) {
  sim::TVirtualPanel shared({"09.005.012", "0100", "1111", 0});
  std::string path = shared.Start();
  const std::string wrong = W("Ошибка авторизации! Неправильно введен мастер-код!");
  const std::string locked = W(
      "Ошибка авторизации! Мастер-код неправильно введен 3 раза подряд! Панель будет игнорировать дальнейшие команды "
      "на протяжении минуты");
  for (const std::string& expected : {wrong, wrong, locked}) {
    TOutArray out;
    TFakeUi ui;
    TDevZorvan device(out);
    device.SetUi(&ui);
    TModem modem(path, device);
    device.SetWorker(&modem);
    modem.Start();
    std::string status;
    while (!modem.Finished()) {
      ui.calls.Serve(2);
      while (auto element = out.TakeElement())
        if (element->Kind() == 2 && static_cast<TControlOut&>(*element).target == controls::kSplashStatus)
          status = static_cast<TControlOut&>(*element).text;
    }
    modem.WaitFor();
    while (auto element = out.TakeElement())
      if (element->Kind() == 2 && static_cast<TControlOut&>(*element).target == controls::kSplashStatus)
        status = static_cast<TControlOut&>(*element).text;
    EXPECT_EQ(status, expected);
  }
  auto lines = shared.ReceivedLines();
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "+id=5281"), 3);
}

TEST(ConnectSequence, SilentAuthorisationStillConnects) {
  TScopedTimeScale fast(0.05);
  TSessionRig rig;
  rig.panel.AddFault({sim::TFaultKind::Silent, "+id=5281", 1});
  EXPECT_TRUE(rig.Connect());
}

TEST(ConnectSequence, SilentPanelFailsWithConnectionError) {
  TScopedTimeScale fast(0.01);
  TSessionRig rig;
  rig.panel.AddFault({sim::TFaultKind::Silent, "", -1});
  EXPECT_FALSE(rig.Connect());
  rig.Stop();
  EXPECT_EQ(rig.status, W("ОШИБКА! Сбой соединения!"));
  EXPECT_EQ(std::count(rig.log.begin(), rig.log.end(), std::string()), 0);
}

TEST(PanelParameters, AnExactHandlerLeavesLongerNamesToOthers) {
  sim::TParameterStore store;
  store.AddHandler("J", [](const sim::TCommand& c) { return sim::TAnswer::Ok("prefix " + c.argument); });
  store.AddExactHandler("r", [](const sim::TCommand& c) { return sim::TAnswer::Ok("exact " + c.argument); });
  EXPECT_EQ(store.Answer("+J3=5")->value, "prefix 3=5");
  EXPECT_EQ(store.Answer("+r")->value, "exact ");
  EXPECT_EQ(store.Answer("+r=1")->value, "exact 1");
  EXPECT_FALSE(store.Answer("+rb").has_value());
}

TEST(PanelParameters, ACommandHasOneOwner) {
  // A second page claiming a name fails when the panel is built, not at the first "+name".
  sim::TParameterStore store;
  store.AddValue("T", "0");
  EXPECT_THROW(store.AddHandler("T", [](const sim::TCommand&) { return sim::TAnswer::Ok(); }), std::logic_error);
  EXPECT_THROW(store.AddExactHandler("T", [](const sim::TCommand&) { return sim::TAnswer::Ok(); }), std::logic_error);
  EXPECT_THROW(store.AddValue("T", "1"), std::logic_error);
  EXPECT_EQ(store.Answer("+T")->value, "0");
  // Every built page's commands and the panel's own go together.
  EXPECT_NO_THROW(sim::TVirtualPanel{});
}

TEST(Session, TerminalLineAndServiceRequests) {
  TSessionRig rig;
  ASSERT_TRUE(rig.Connect());
  rig.ui.fields["TerminalForm.Edit1"] = "+typepan";
  rig.RunRequest(23);
  EXPECT_TRUE(rig.device.TerminalAnswered());
  EXPECT_EQ(rig.device.TerminalReply(), "0100");
  rig.RunRequest(13);
  EXPECT_FALSE(rig.panel.Stopped());
  rig.RunRequest(16);
  EXPECT_TRUE(rig.panel.Stopped());
  EXPECT_EQ(rig.modem->CurrentRequest(), 0);
  rig.RunRequest(19);  // restart ends the connection
  while (!rig.modem->Finished()) rig.Pump();
  EXPECT_TRUE(rig.Logged("com<-+rb"));
}

std::vector<std::string> ran;
void RecordRead(TDevZorvan&, const TPage& page) { ran.push_back("r:" + page.Name()); }
void RecordWrite(TDevZorvan&, const TPage& page) { ran.push_back("w:" + page.Name()); }
void Cancel(TDevZorvan& device, const TPage& page) {
  RecordRead(device, page);
  device.Abort();
}

TEST(Session, PagesRunInTheirOrderAndCancelStopsReadAll) {
  const TPageKind recording{.read = RecordRead, .write = RecordWrite};
  const TPageKind cancelling{.read = Cancel, .write = RecordWrite};
  TCatalogue catalogue = PageCatalogue();
  for (TPageEntry& entry : catalogue.pages) entry.kind = entry.id == TPageId::GPRS ? &cancelling : &recording;
  TPageSet pages(catalogue);
  TSessionRig rig;
  rig.device.SetPages(&pages);
  ASSERT_TRUE(rig.Connect());
  ran.clear();
  rig.device.SetCurrentPage(TPageId::Shleif);
  rig.RunRequest(3);
  EXPECT_EQ(ran, (std::vector<std::string>{"r:formRazd", "r:formShleif", "r:formKeys"}));
  ran.clear();
  rig.device.SetCurrentPage(TPageId::Razd);
  rig.RunRequest(4);
  EXPECT_EQ(ran, (std::vector<std::string>{"w:formShleif", "w:formRazd", "w:formKeys"}));
  ran.clear();
  rig.RunRequest(6);
  EXPECT_EQ(ran, (std::vector<std::string>{"w:formCommon", "w:formATests", "w:formGPRS", "w:formWays", "w:formShleif",
                                           "w:formRazd", "w:formACP", "w:formKeyboard", "w:formKeys", "w:formTMKeys",
                                           "w:formOuts", "w:FormEnNumber", "w:formSMS"}));
  EXPECT_EQ(rig.allDone, 1);

  // Cancel on the third page: no completion, the tree stays on that node.
  ran.clear();
  rig.treeNodes.clear();
  rig.RunRequest(5);
  EXPECT_EQ(ran, (std::vector<std::string>{"r:formCommon", "r:formATests", "r:formGPRS"}));
  EXPECT_EQ(rig.allDone, 1);
  ASSERT_FALSE(rig.treeNodes.empty());
  EXPECT_EQ(rig.treeNodes.back(), "2");
  EXPECT_EQ(rig.device.CurrentPage(), TPageId::GPRS);
}

TEST(Session, CableKeepAliveAndLostLine) {
  TScopedTimeScale fast(0.004);  // 61 s of keep-alive interval in about a quarter second
  TSessionRig rig;
  ASSERT_TRUE(rig.Connect());
  auto before = rig.panel.ReceivedLines().size();
  auto until = NowMs() + 62000;
  while (NowMs() < until) rig.Pump();
  auto lines = rig.panel.ReceivedLines();
  EXPECT_GT(lines.size(), before);
  EXPECT_EQ(lines.back(), "+sp");
  rig.panel.CloseLine();
  while (!rig.modem->Finished()) rig.Pump();
  EXPECT_FALSE(rig.modem->PortFailure().empty());
  EXPECT_TRUE(rig.disconnected);
}

namespace {

sim::TModemOptions VirtualModem(sim::TRegistration registration = sim::TRegistration::Home) {
  sim::TModemOptions options;
  options.enabled = true;
  options.registration = registration;
  return options;
}

std::size_t IndexOf(const std::vector<std::string>& lines, const std::string& line, std::size_t from = 0) {
  auto it = std::find(lines.begin() + static_cast<long>(std::min(from, lines.size())), lines.end(), line);
  return it == lines.end() ? std::string::npos : static_cast<std::size_t>(it - lines.begin());
}

}  // namespace

TEST(ModemCall, DialsTheCleanNumberWithTheBearerOfTheProtocolAndHangsUp) {
  TScopedTimeScale fast(0.05);
  const struct {
    int protocol;
    sim::TRegistration registration;
    const char* bearer;
  } cases[] = {{0, sim::TRegistration::Home, "AT+CBST=7,0,1"}, {1, sim::TRegistration::Roaming, "AT+CBST=71,0,1"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bearer);
    TSessionRig rig(VirtualModem(c.registration), "8 (900) 123-45-67 w2", c.protocol);
    EXPECT_EQ(rig.modem->StopBits(), TStopBits::sb1);
    ASSERT_TRUE(rig.Connect());
    EXPECT_TRUE(rig.modem->ModemLink());
    EXPECT_TRUE(rig.panel.DataCall());
    EXPECT_EQ(rig.panel.Dialled(), std::vector<std::string>{"89001234567w2"});
    rig.Stop();
    EXPECT_FALSE(rig.panel.DataCall());
    auto lines = rig.panel.ReceivedLines();
    std::size_t at = 0;
    for (const std::string step : {"AT+CREG?", "ATZ", c.bearer, "AT", "ATD 89001234567w2", "+v", "+rb", "ATH", "ATZ"}) {
      at = IndexOf(lines, step, at);
      ASSERT_NE(at, std::string::npos) << step;
    }
    EXPECT_TRUE(rig.Logged("com<-+++"));
    EXPECT_TRUE(rig.Logged(W(" # Цифровое соединение успешно установленно")));
  }
}

TEST(ModemCall, ModemTypeWithNothingToDialIsTheCable) {
  TScopedTimeScale fast(0.05);
  TSessionRig rig(sim::TModemOptions{}, " ( ) - ", 1);
  EXPECT_EQ(rig.modem->StopBits(), TStopBits::sb2);
  ASSERT_TRUE(rig.Connect());
  EXPECT_FALSE(rig.modem->ModemLink());
  rig.Stop();
  EXPECT_FALSE(rig.Logged("com<-+++"));
  EXPECT_EQ(IndexOf(rig.panel.ReceivedLines(), "AT+CREG?"), std::string::npos);
}

TEST(ModemCall, BusyNumberAndLostCarrierEndTheConnection) {
  TScopedTimeScale fast(0.05);
  {
    auto options = VirtualModem();
    options.busy = true;
    TSessionRig rig(options, "123", 0);
    EXPECT_FALSE(rig.Connect());
    rig.Stop();
    EXPECT_TRUE(rig.Logged(W("Абонент занят!")));
    EXPECT_EQ(rig.status, W("Не могу дозвониться до: 123"));
    EXPECT_EQ(IndexOf(rig.panel.ReceivedLines(), "+v"), std::string::npos);
  }
  {
    auto options = VirtualModem();
    options.carrierCommands = 5;  // the connect sequence's five commands, then the carrier drops
    TSessionRig rig(options, "123", 0);
    ASSERT_TRUE(rig.Connect());
    rig.ui.fields["TerminalForm.Edit1"] = "+typepan";
    rig.RunRequest(23);
    while (!rig.modem->Finished()) rig.Pump();
    rig.Pump();
    EXPECT_TRUE(rig.Logged(W("Цифровое соединение разорвано!")));
    EXPECT_TRUE(rig.disconnected);
    EXPECT_TRUE(rig.modem->PortFailure().empty());
    EXPECT_FALSE(rig.modem->ModemLink());
    auto lines = rig.panel.ReceivedLines();
    EXPECT_NE(IndexOf(lines, "ATZ", IndexOf(lines, "ATH", IndexOf(lines, "+typepan", 6))), std::string::npos);
  }
}

TEST(ModemCall, UnregisteredModemRetriesUntilCancelled) {
  TSessionRig rig(VirtualModem(sim::TRegistration::Never), "123", 0);
  {
    TScopedTimeScale fast(0.2);  // one registration pass in about a second
    rig.modem->Start();
    auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(2500);
    while (std::chrono::steady_clock::now() < until) rig.Pump();
  }
  auto lines = rig.panel.ReceivedLines();
  EXPECT_GE(std::count(lines.begin(), lines.end(), "AT+CREG?"), 6);
  EXPECT_FALSE(rig.modem->Finished());
  auto cancelled = std::chrono::steady_clock::now();
  rig.modem->Terminate();
  while (!rig.modem->Finished()) rig.Pump();
  EXPECT_LT(std::chrono::steady_clock::now() - cancelled, std::chrono::seconds(1));
  lines = rig.panel.ReceivedLines();
  EXPECT_EQ(IndexOf(lines, "ATZ"), std::string::npos);
  EXPECT_TRUE(rig.panel.Dialled().empty());
}

TEST(ModemCall, KeepAliveEverySixSecondsAndNoAuthorisationForEarlyBuilds) {
  TScopedTimeScale fast(0.02);
  TSessionRig rig(VirtualModem(), "123", 0, {"09.005.001", "0100", "5281", 0});
  ASSERT_TRUE(rig.Connect());
  auto until = NowMs() + 20000;
  while (NowMs() < until) rig.Pump();
  auto lines = rig.panel.ReceivedLines();
  auto times = rig.panel.ReceivedTimes();
  std::vector<std::int64_t> keepAlive;
  for (std::size_t i = 0; i < lines.size(); ++i)
    if (lines[i] == "+AC") keepAlive.push_back(times[i]);
  ASSERT_GE(keepAlive.size(), 2u);
  for (std::size_t i = 1; i < keepAlive.size(); ++i) {
    EXPECT_GE(keepAlive[i] - keepAlive[i - 1], 6000);
    EXPECT_LT(keepAlive[i] - keepAlive[i - 1], 7000);
  }
  EXPECT_EQ(IndexOf(lines, "+id=5281"), std::string::npos);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "+sp"), 1);  // the connect sequence's, no cable keep-alive
}
