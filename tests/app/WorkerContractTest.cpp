// What the worker and the window promise each other: questions that end when the window
// closes, a queue that cannot hold a closing window, calls that see what was posted before
// them, the rules between pages run on the window thread, page state on the worker side, and
// the idle cycle's periods.
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>

#include "app/HeadlessView.h"
#include "pages/Catalogue.h"
#include "session/PageRun.h"
#include "sim/VirtualPanel.h"

namespace zorvan {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

struct Program {
  Program(const std::string& folder, const TCatalogue& catalogue = PageCatalogue())
      : shell(folder, {}, catalogue), view(shell) {
    shell.SetView(&view);
    view.tickMs = 5;
    view.progressLimitMs = 20000;
    shell.Start();
  }
  bool Connect(const std::string& device) {
    view.onConnectDialog = [device](TConnectDialog& dialog) { dialog.Ports().SetText(device); };
    shell.Connect();
    shell.Drain();
    return shell.Connected();
  }
  TShell shell;
  THeadlessView view;
};

struct Contract : ::testing::Test {
  fs::path dir = fs::temp_directory_path() / ("zorvan-contract-" + std::to_string(getpid()));
  void SetUp() override { fs::create_directories(dir); }
  void TearDown() override { fs::remove_all(dir); }
  std::string Folder() const { return dir.string() + "/"; }
  sim::TPanelOptions Fast() {
    sim::TPanelOptions options;
    options.lineRate = 0;
    return options;
  }
};

TEST_F(Contract, AQuestionIsAnsweredAndClosingWithItOpenEndsWithinASecond) {
  Program program(Folder());
  TShell& shell = program.shell;
  program.view.onAsk = [](const TQuestion&) { return TAnswer::No; };
  std::atomic<bool> done{false};
  TAnswer answer = TAnswer::Ok;
  std::thread worker([&] {
    answer = shell.Ask({TQuestionKind::YesNo, "caption", "question?"});
    done = true;
  });
  while (!done) shell.Tick(5);
  worker.join();
  EXPECT_EQ(answer, TAnswer::No);
  EXPECT_EQ(program.view.questions, (std::vector<std::string>{"question?"}));

  // The window is closed while the box is open: the box goes, the worker hears "not asked".
  bool deferred = false;
  Clock::time_point closed;
  program.view.onAsk = [&](const TQuestion&) {
    closed = Clock::now();
    deferred = !shell.Close();
    while (program.view.closedQuestions == 0) shell.Tick(5);
    return TAnswer::NotAsked;
  };
  done = false;
  worker = std::thread([&] {
    answer = shell.Ask({TQuestionKind::YesNoCancel, "caption", "again?"});
    done = true;
  });
  while (!done) shell.Tick(5);
  worker.join();
  EXPECT_TRUE(deferred);  // it could not finish beneath the box
  EXPECT_TRUE(shell.Close());
  EXPECT_LT(SecondsSince(closed), 1.0);
  EXPECT_EQ(answer, TAnswer::NotAsked);
  // Once closing, nobody is asked at all.
  std::thread late([&] { answer = shell.Ask({TQuestionKind::Warning, "caption", "late"}); });
  late.join();
  EXPECT_EQ(answer, TAnswer::NotAsked);
  EXPECT_EQ(program.view.questions.size(), 2u);
}

void Flood(TDevZorvan& device, const TPage&) {
  for (int i = 0; i < 3000; ++i) device.Out().PostLog("line", true, false);
}

TEST_F(Contract, AFullOutputQueueDoesNotHoldAClosingWindow) {
  const TPageKind flooding{.read = Flood};
  TCatalogue catalogue = PageCatalogue();
  catalogue.pages[static_cast<std::size_t>(TPageId::Common)].kind = &flooding;
  sim::TVirtualPanel panel(Fast());
  Program program(Folder(), catalogue);
  ASSERT_TRUE(program.Connect(panel.Start()));
  program.shell.ShowPage(TPageId::Common);
  program.shell.ReadPage();
  // Nothing drains: the worker fills the queue and waits for room.
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  ASSERT_TRUE(program.shell.Busy());
  const auto start = Clock::now();
  EXPECT_TRUE(program.shell.Close());
  EXPECT_LT(SecondsSince(start), 1.0);
  EXPECT_FALSE(program.shell.Connected());
  EXPECT_GT(program.shell.Out().Dropped(), 0u);
}

TEST_F(Contract, ACallDuringAPostedMessageBoxSeesWhatCameBeforeIt) {
  Program program(Folder());
  TShell& shell = program.shell;
  TControl& objectNumber = (*shell.FindPage("formCommon"))["etO"];
  std::atomic<bool> called{false}, boxOpen{false};
  // The box stays open until the worker's call has been served beneath it.
  program.view.onMessage = [&](const std::string&) {
    boxOpen = true;
    while (!called) shell.Tick(5);
  };
  std::string seen;
  std::thread worker([&] {
    shell.Out().PostMessageBox("done");
    while (!boxOpen) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    shell.Out().PostText(objectNumber, "1234");
    shell.RunOnUiThread([&] { seen = objectNumber.Text(); });
    called = true;
  });
  while (!called) shell.Tick(5);
  worker.join();
  EXPECT_EQ(seen, "1234");
  EXPECT_EQ(program.view.messages, (std::vector<std::string>{"done"}));
}

// Two small pages and a rule between them.
class TZonesPage : public TformIncl {
 public:
  using TformIncl::TformIncl;
  ZORVAN_CONTROL(etZones, K::Edit);
};
class TFirePage : public TformIncl {
 public:
  using TformIncl::TformIncl;
  ZORVAN_CONTROL(etFire, K::Edit);
};
class TUnbuiltPage : public TformIncl {
 public:
  using TformIncl::TformIncl;
};

std::thread::id ruleThread;
bool unbuiltIsNull = false;
std::string zonesAfterStep;
int readsCounted = 0;

void WireTestRules(TPageSet& pages, const TPageContext&) {
  unbuiltIsNull = pages.Get<TUnbuiltPage>() == nullptr;
  auto* zones = pages.Get<TZonesPage>();
  auto* fire = pages.Get<TFirePage>();
  if (!zones || !fire) return;
  zones->etZones.OnChange([fire](TControl& changed) {
    ruleThread = std::this_thread::get_id();
    fire->etFire.SetText("fire " + changed.Text());
  });
}

struct TReads : TPageState {
  int count = 0;
};

void ReadZones(TDevZorvan& device, const TPage& page) {
  RunPageSteps(device, page, "Ошибка!", [&](TPageRun& run) {
    run.OnUi([](TPageSet& pages) { pages.Get<TZonesPage>()->etZones.SetText("3"); });
    zonesAfterStep = run.Values()[PageOf<TZonesPage>(page).etZones].text;
    readsCounted = ++run.State<TReads>().count;
  });
}

TEST_F(Contract, RulesBetweenPagesRunOnTheWindowThreadAndPageStateIsTheKinds) {
  const TPageKind zonesKind{.create = CreatePage<TZonesPage>,
                            .read = ReadZones,
                            .createState = [] { return std::unique_ptr<TPageState>(std::make_unique<TReads>()); }};
  const TPageKind fireKind{.create = CreatePage<TFirePage>};
  TCatalogue catalogue = PageCatalogue();
  catalogue.pages[static_cast<std::size_t>(TPageId::Shleif)].kind = &zonesKind;
  catalogue.pages[static_cast<std::size_t>(TPageId::Razd)].kind = &fireKind;
  catalogue.pages[static_cast<std::size_t>(TPageId::Shleif)].readSteps.clear();
  catalogue.wireRules = WireTestRules;
  Program program(Folder(), catalogue);
  EXPECT_TRUE(unbuiltIsNull);
  auto* zones = program.shell.PageSet().Get<TZonesPage>();
  auto* fire = program.shell.PageSet().Get<TFirePage>();
  ASSERT_TRUE(zones && fire);

  // A change by the user.
  zones->etZones.SetText("2");
  EXPECT_EQ(fire->etFire.Text(), "fire 2");

  // A change by a worker step: on the window thread, and the next snapshot sees it.
  sim::TVirtualPanel panel(Fast());
  ASSERT_TRUE(program.Connect(panel.Start()));
  ruleThread = {};
  program.shell.ShowPage(TPageId::Shleif);
  program.shell.ReadPage();
  while (program.shell.Busy()) program.shell.Tick(5);
  EXPECT_EQ(fire->etFire.Text(), "fire 3");
  EXPECT_EQ(ruleThread, std::this_thread::get_id());
  EXPECT_EQ(zonesAfterStep, "3");
  EXPECT_EQ(readsCounted, 1);
  program.shell.ReadPage();
  while (program.shell.Busy()) program.shell.Tick(5);
  EXPECT_EQ(readsCounted, 2);

  // A new connection starts the page's worker state afresh.
  program.shell.Disconnect();
  ASSERT_TRUE(program.Connect(panel.DevicePath()));
  program.shell.ShowPage(TPageId::Shleif);
  program.shell.ReadPage();
  while (program.shell.Busy()) program.shell.Tick(5);
  EXPECT_EQ(readsCounted, 1);
}

TEST(IdleSchedule, APollAndTheKeepAliveKeepTheirPeriods) {
  // Over a modem call: keep-alive after more than 5 whole seconds, a loop poll every 2 s that
  // is no activity.
  const TIdleWork poll{.periodMs = 2000, .countsAsActivity = false};
  TIdleSchedule schedule;
  schedule.Start(0, 5);
  std::vector<std::int64_t> keepAlives, polls;
  for (std::int64_t now = 0; now <= 20000; now += 100) {
    if (schedule.KeepAliveDue(now)) {
      keepAlives.push_back(now);
      schedule.Activity(now);
    }
    if (schedule.WorkDue(poll, now)) {
      polls.push_back(now);
      schedule.WorkDone(poll, now);
    }
  }
  EXPECT_EQ(keepAlives, (std::vector<std::int64_t>{6000, 12000, 18000}));
  EXPECT_EQ(polls, (std::vector<std::int64_t>{2000, 4000, 6000, 8000, 10000, 12000, 14000, 16000, 18000, 20000}));

  // Over the cable the signal refresh (11 s, activity) postpones the 60 s keep-alive.
  const TIdleWork signal{.periodMs = 11000, .countsAsActivity = true};
  schedule.Start(0, 60);
  keepAlives.clear();
  std::vector<std::int64_t> refreshes;
  for (std::int64_t now = 0; now <= 130000; now += 100) {
    if (schedule.KeepAliveDue(now)) {
      keepAlives.push_back(now);
      schedule.Activity(now);
    }
    if (schedule.WorkDue(signal, now)) {
      refreshes.push_back(now);
      schedule.WorkDone(signal, now);
    }
  }
  EXPECT_TRUE(keepAlives.empty());
  ASSERT_EQ(refreshes.size(), 11u);
  EXPECT_EQ(refreshes.front(), 11000);
}

}  // namespace
}  // namespace zorvan
