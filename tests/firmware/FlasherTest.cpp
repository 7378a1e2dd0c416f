#include <gtest/gtest.h>

#include <map>

#include "base/Cp1251.h"
#include "firmware/BuiltInImages.h"
#include "firmware/Flasher.h"

using namespace zorvan;
using namespace zorvan::firmware;

namespace {

// A boot loader behind a scripted line: it keeps what it was given across "calls" and
// checks the finish command against the blocks it holds.
struct TFakeLoader {
  std::map<int, std::string> blocks;  // by block index
  int erases = 0;
  std::string eraseReply = "OK\r";
  bool loaderSilent = false;
  std::map<std::string, int> wrongNumberOnce;  // block number -> times to answer with another number
  std::string refuse;                          // block number answered "ERR"
  std::string finishReply;                     // empty: check the accumulators

  std::string Finish(const std::string& command) const {
    std::uint8_t checks[4] = {};
    for (const auto& [index, data] : blocks) checks[(index % 8) / 2] ^= BlockCheckValue(data);
    std::string expected = "+EE";
    for (auto c : checks) expected += Hex(c, 2);
    return command == expected ? "OK\r" : "ERR\r";
  }
};

class TFakeLink : public TFlashLink {
 public:
  explicit TFakeLink(TFakeLoader& loader) : loader_(loader) {}
  std::vector<std::string> sent;
  int lostAfterAcks = -1;  // the call drops after this many acknowledged blocks
  bool stopAfterFirst = false;
  bool dropAfterFinishAck = false;   // "+EE" acknowledged, the carrier goes in the same breath
  bool dropBeforeFinishAck = false;  // the call goes while "+EE" is on its way
  bool stopAfterFinish = false;
  std::int64_t now = 0;

  std::string Exchange(const std::string& command, int timeoutMs, bool) override {
    sent.push_back(command);
    if (lost_) return {};
    if (stopAfterFirst) stop_ = true;
    if (command == "+BL") {
      if (loader_.loaderSilent) {
        now += timeoutMs;
        return {};
      }
      return "OK\r";
    }
    if (command == "+BE") {
      ++loader_.erases;
      loader_.blocks.clear();
      return loader_.eraseReply;
    }
    if (command.rfind("+EE", 0) == 0) {
      if (dropBeforeFinishAck) {
        lost_ = true;
        return {};
      }
      if (stopAfterFinish) stop_ = true;
      std::string reply = loader_.finishReply.empty() ? loader_.Finish(command) : loader_.finishReply;
      if (dropAfterFinishAck) {
        lost_ = true;
        reply += "\r\nNO CARRIER\r\n";
      }
      return reply;
    }
    const std::string number = command.substr(2, 4);
    if (number == loader_.refuse) return "ERR\r";
    auto wrong = loader_.wrongNumberOnce.find(number);
    if (wrong != loader_.wrongNumberOnce.end() && wrong->second > 0) {
      --wrong->second;
      return "9999\rOK\r";
    }
    const auto colon = command.find(':', 7);
    loader_.blocks[std::stoi(number, nullptr, 16) / 4] = command.substr(7, colon - 7);
    ++acks_;
    if (lostAfterAcks >= 0 && acks_ >= lostAfterAcks) lost_ = true;  // the ack came, then the carrier went
    return number + "\rOK\r";
  }
  bool Lost() override { return lost_; }
  bool StopRequested() override { return stop_; }
  void Sleep(int ms) override { now += ms; }
  std::int64_t Now() override { return now; }

  int Count(const std::string& prefix) const {
    int n = 0;
    for (const auto& s : sent) n += s.rfind(prefix, 0) == 0;
    return n;
  }

 private:
  TFakeLoader& loader_;
  int acks_ = 0;
  bool lost_ = false;
  bool stop_ = false;
};

struct TRecordingReport : TFlashReport {
  int position = -1, total = -1, maxPosition = 0;
  std::vector<std::string> stages, logs;
  bool finishStarted = false;
  std::string elapsed, remaining;
  void Stage(const std::string& text) override { stages.push_back(Cp1251ToUtf8(text)); }
  void Progress(int p, int t) override {
    position = p;
    total = t;
    maxPosition = std::max(maxPosition, p);
  }
  void Times(const std::string& e, const std::string& r) override {
    elapsed = Cp1251ToUtf8(e);
    remaining = Cp1251ToUtf8(r);
  }
  void FinishStarts() override { finishStarted = true; }
  void Log(const std::string& line) override { logs.push_back(Cp1251ToUtf8(line)); }
};

// A small image of n blocks (n * 4 records).
std::vector<TBlock> SmallImage(int blocks, unsigned seed = 1) {
  TImageLines lines{"REV 09.005.007"};
  for (int r = 0; r < blocks * 4; ++r) {
    std::string data;
    for (int i = 0; i < 16; ++i) data += Hex((seed * 131 + static_cast<unsigned>(r * 16 + i) * 7) & 0xFF, 2);
    lines.push_back(":10" + Hex(static_cast<unsigned>(r * 16) & 0xFFFF, 4) + "00" + data + "00");
  }
  return BuiltInBlocks(lines);
}

}  // namespace

TEST(Flasher, FullUpdateOfTheBuiltInImage) {
  const auto blocks = BuiltInBlocks(LoadBuiltInImage(2));
  TFakeLoader loader;
  TFakeLink link(loader);
  TRecordingReport report;
  TFirmwareResume resume;
  const TFlashResult result = RunFlash(TFlashDriver::BuiltIn, blocks, resume, link, report);
  ASSERT_EQ(result.outcome, TFlashOutcome::Done);
  EXPECT_EQ(link.Count("+W"), 1622);
  EXPECT_EQ(link.Count("+BE"), 1);
  EXPECT_EQ(link.sent.back().substr(0, 3), "+EE");  // accepted: the checks match the panel's
  EXPECT_EQ(link.sent[link.sent.size() - 2].substr(0, 7), "+W1954:");
  EXPECT_EQ(report.total, 1927);
  EXPECT_EQ(report.position, 1927);
  EXPECT_TRUE(report.finishStarted);
  // The finish wait of 45.3 s is part of the time.
  EXPECT_GE(link.now, 45300);
  EXPECT_EQ(report.stages, (std::vector<std::string>{"Идет переход в режим перепрошивки...", "Идет очистка памяти...",
                                                     "Идет загрузка новой версии прошивки...", "Идет перепрошивка..."}));
  EXPECT_EQ(report.elapsed, "45 сек ");
  EXPECT_EQ(resume.nextLine, 1);
}

TEST(Flasher, AReplyWithAnotherBlockNumberSendsTheBlockAgain) {
  const auto blocks = SmallImage(6);
  TFakeLoader loader;
  loader.wrongNumberOnce["0008"] = 1;
  TFakeLink link(loader);
  TRecordingReport report;
  TFirmwareResume resume;
  ASSERT_TRUE(RunFlash(TFlashDriver::BuiltIn, blocks, resume, link, report).Ok());
  EXPECT_EQ(link.Count("+W0008:"), 2);
  EXPECT_EQ(link.Count("+W"), 7);

  // Three wrong answers: the block is not accepted and nothing more is sent.
  TFakeLoader stubborn;
  stubborn.wrongNumberOnce["0008"] = 3;
  TFakeLink link2(stubborn);
  const TFlashResult result = RunFlash(TFlashDriver::BuiltIn, blocks, resume, link2, report);
  EXPECT_EQ(result.outcome, TFlashOutcome::WriteFailed);
  EXPECT_EQ(result.failedBlock, "0008");
  EXPECT_EQ(link2.Count("+W0008:"), 3);
  EXPECT_EQ(link2.Count("+W000C:"), 0);
  EXPECT_EQ(link2.Count("+EE"), 0);
}

TEST(Flasher, ALostModemCallResumesAfterTheLastAcknowledgedBlock) {
  const auto blocks = SmallImage(150);
  TFakeLoader loader;
  TFirmwareResume resume;
  resume.allowed = true;  // a modem connection
  {
    TFakeLink link(loader);
    link.lostAfterAcks = 100;  // blocks 0 to 99 acknowledged
    TRecordingReport report;
    const TFlashResult result = RunFlash(TFlashDriver::BuiltIn, blocks, resume, link, report);
    EXPECT_EQ(result.outcome, TFlashOutcome::WriteFailed);
    EXPECT_EQ(result.blocksAccepted, 100);
  }
  EXPECT_EQ(resume.nextLine, 401);
  {
    TFakeLink link(loader);
    TRecordingReport report;
    const TFlashResult result = RunFlash(TFlashDriver::BuiltIn, blocks, resume, link, report);
    ASSERT_EQ(result.outcome, TFlashOutcome::Done);
    EXPECT_FALSE(result.erased);
    EXPECT_EQ(link.Count("+BE"), 0);
    EXPECT_EQ(link.sent[1].substr(0, 7), "+W0190:");  // block 100 right after the loader
    EXPECT_EQ(link.Count("+W"), 50);
    EXPECT_EQ(loader.erases, 1);
    EXPECT_EQ(link.sent.back().substr(0, 3), "+EE");  // accepted: the carried checks were right
  }
  EXPECT_EQ(resume.nextLine, 1);
}

TEST(Flasher, ACableUpdateOrAnotherImageStartsFromTheBeginning) {
  const auto blocks = SmallImage(20);
  for (bool modem : {false, true}) {
    TFakeLoader loader;
    TFirmwareResume resume;
    resume.allowed = !modem ? false : true;
    TFakeLink link(loader);
    link.lostAfterAcks = 10;
    TRecordingReport report;
    RunFlash(TFlashDriver::BuiltIn, blocks, resume, link, report);
    EXPECT_EQ(resume.nextLine, modem ? 41 : 1);
    // The next update: over the cable from the start; over the modem with a different image
    // from the start too, never half of one image and half of another.
    const auto next = modem ? SmallImage(20, 2) : blocks;
    TFakeLink again(loader);
    ASSERT_TRUE(RunFlash(TFlashDriver::BuiltIn, next, resume, again, report).Ok());
    EXPECT_EQ(again.Count("+BE"), 1);
    EXPECT_EQ(again.Count("+W"), 20);
  }
}

TEST(Flasher, EraseRefusedAndLoaderSilence) {
  const auto blocks = SmallImage(3);
  struct Case {
    TFlashDriver driver;
    int erases;
    const char* log;
  };
  // The update thread takes "ERR" as a lost link; the file update tries three times and says why.
  const Case cases[] = {
      {TFlashDriver::BuiltIn, 1, nullptr},
      {TFlashDriver::File, 3, "ОШИБКА! Прошивка не обновлена! Не удалось стереть содержимое флэш: панель не приняла команду."}};
  for (const Case& c : cases) {
    TFakeLoader loader;
    loader.eraseReply = "ERR\r";
    TFakeLink link(loader);
    TRecordingReport report;
    TFirmwareResume resume;
    EXPECT_EQ(RunFlash(c.driver, blocks, resume, link, report).outcome, TFlashOutcome::EraseFailed);
    EXPECT_EQ(link.Count("+BE"), c.erases);
    EXPECT_EQ(link.Count("+W"), 0);
    if (c.log) EXPECT_EQ(report.logs, std::vector<std::string>{c.log});
    else EXPECT_TRUE(report.logs.empty());
  }
  // A loader step without any reply still goes on to the erase.
  for (TFlashDriver driver : {TFlashDriver::BuiltIn, TFlashDriver::File}) {
    TFakeLoader loader;
    loader.loaderSilent = true;
    TFakeLink link(loader);
    TRecordingReport report;
    TFirmwareResume resume;
    EXPECT_TRUE(RunFlash(driver, blocks, resume, link, report).Ok());
    EXPECT_EQ(link.sent[1], "+BE");
  }
}

TEST(Flasher, FileUpdateProgressAndFailureLines) {
  const auto blocks = SmallImage(5);
  {
    TFakeLoader loader;
    TFakeLink link(loader);
    TRecordingReport report;
    TFirmwareResume resume;
    ASSERT_TRUE(RunFlash(TFlashDriver::File, blocks, resume, link, report).Ok());
    EXPECT_EQ(report.total, 5 + 103);
    EXPECT_EQ(report.position, 108);
    EXPECT_GE(link.now, 15000);
    EXPECT_LT(link.now, 45300);
  }
  {
    TFakeLoader loader;
    loader.refuse = "0008";
    TFakeLink link(loader);
    TRecordingReport report;
    TFirmwareResume resume;
    EXPECT_EQ(RunFlash(TFlashDriver::File, blocks, resume, link, report).outcome, TFlashOutcome::WriteFailed);
    EXPECT_EQ(link.Count("+W0008:"), 3);  // "ERR" is no lost link for the file update
    EXPECT_EQ(report.logs, std::vector<std::string>{
                               "ОШИБКА! Прошивка не обновлена! Не удалось записать блок 0008: панель не приняла "
                               "команду. Память панели стерта: панель не будет работать, пока прошивка не будет "
                               "обновлена. Запустите перепрошивку еще раз."});
  }
  {
    TFakeLoader loader;
    loader.finishReply = "ERR\r";
    TFakeLink link(loader);
    TRecordingReport report;
    TFirmwareResume resume;
    EXPECT_EQ(RunFlash(TFlashDriver::File, blocks, resume, link, report).outcome, TFlashOutcome::FinishFailed);
    EXPECT_EQ(link.Count("+EE"), 3);
    EXPECT_NE(report.position, report.total);  // never shown as done
    ASSERT_EQ(report.logs.size(), 1u);
  }
}

TEST(Flasher, AStopEndsTheSendsAndAnEmptyImageSendsNothing) {
  const auto blocks = SmallImage(5);
  TFakeLoader loader;
  TFakeLink link(loader);
  link.stopAfterFirst = true;
  TRecordingReport report;
  TFirmwareResume resume;
  EXPECT_EQ(RunFlash(TFlashDriver::BuiltIn, blocks, resume, link, report).outcome, TFlashOutcome::Stopped);
  EXPECT_EQ(link.sent, std::vector<std::string>{"+BL"});

  TFakeLink idle(loader);
  EXPECT_EQ(RunFlash(TFlashDriver::File, {}, resume, idle, report).outcome, TFlashOutcome::Empty);
  EXPECT_TRUE(idle.sent.empty());
}

TEST(Flasher, AnAcknowledgedFinishCountsWhenTheCallDropsRightAfterIt) {
  const auto blocks = SmallImage(12);
  TFakeLoader loader;
  TFakeLink link(loader);
  link.dropAfterFinishAck = true;
  TRecordingReport report;
  TFirmwareResume resume;
  resume.allowed = true;
  const TFlashResult result = RunFlash(TFlashDriver::BuiltIn, blocks, resume, link, report);
  EXPECT_EQ(result.outcome, TFlashOutcome::Done);
  EXPECT_EQ(link.Count("+EE"), 1);
  EXPECT_EQ(loader.erases, 1);
  EXPECT_GE(link.now, 45300);  // the panel programs itself meanwhile
  EXPECT_EQ(report.position, report.total);
  EXPECT_EQ(resume.nextLine, 1);

  // A stop after the acknowledgement only cuts the wait: the panel has the image.
  TFakeLoader other;
  TFakeLink stopped(other);
  stopped.stopAfterFinish = true;
  EXPECT_EQ(RunFlash(TFlashDriver::BuiltIn, blocks, resume, stopped, report).outcome, TFlashOutcome::Done);
  EXPECT_LT(stopped.now, 45300);
}

TEST(Flasher, AFinishLostWithTheCallIsSentAloneNextTime) {
  const auto blocks = SmallImage(12);
  TFakeLoader loader;
  TFirmwareResume resume;
  resume.allowed = true;
  TFakeLink link(loader);
  link.dropBeforeFinishAck = true;
  TRecordingReport report;
  const TFlashResult lost = RunFlash(TFlashDriver::BuiltIn, blocks, resume, link, report);
  EXPECT_EQ(lost.outcome, TFlashOutcome::FinishFailed);
  EXPECT_TRUE(lost.FinishUnknown());
  EXPECT_NE(Cp1251ToUtf8(FailureText(lost)).find("проверьте версию"), std::string::npos);
  EXPECT_EQ(resume.nextLine, 4 * 12 + 1);

  TFakeLink again(loader);
  const TFlashResult result = RunFlash(TFlashDriver::BuiltIn, blocks, resume, again, report);
  ASSERT_EQ(result.outcome, TFlashOutcome::Done);
  ASSERT_EQ(again.sent.size(), 2u);
  EXPECT_EQ(again.sent[0], "+BL");
  EXPECT_EQ(again.sent[1].substr(0, 3), "+EE");  // accepted: the carried checks were right
  EXPECT_EQ(loader.erases, 1);
  EXPECT_EQ(resume.nextLine, 1);
}

TEST(Flasher, FailuresAfterTheEraseSayTheMemoryIsErased) {
  const std::string erased = "Память панели стерта: панель не будет работать, пока прошивка не будет обновлена. "
                             "Запустите перепрошивку еще раз.";
  struct Case {
    const char* name;
    std::string refuse, finishReply;
    int lostAfterAcks;
    bool stop;
    std::string text;  // before the memory sentence
  };
  const Case cases[] = {
      {"block refused", "0008", "", -1, false, "Не удалось записать блок 0008: панель не приняла команду."},
      {"line lost", "", "", 3, false, "Не удалось записать блок 000C: связь с панелью потеряна."},
      {"finish refused", "", "ERR\r", -1, false, "Не удалось завершить перепрошивку: панель не приняла команду."},
      {"stopped", "", "", -1, true, "Перепрошивка прервана."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TFakeLoader loader;
    loader.refuse = c.refuse;
    loader.finishReply = c.finishReply;
    TFakeLink link(loader);
    link.lostAfterAcks = c.lostAfterAcks;
    TRecordingReport report;
    TFirmwareResume resume;
    TFlashResult result;
    if (c.stop) {
      // Stopped while the third block is on its way.
      struct TStopLink : TFakeLink {
        using TFakeLink::TFakeLink;
        bool StopRequested() override { return Count("+W") >= 3; }
      } stopLink(loader);
      result = RunFlash(TFlashDriver::BuiltIn, SmallImage(6), resume, stopLink, report);
    } else {
      result = RunFlash(TFlashDriver::BuiltIn, SmallImage(6), resume, link, report);
    }
    EXPECT_FALSE(result.Ok());
    EXPECT_EQ(result.memory, TPanelMemory::Erased);
    EXPECT_EQ(Cp1251ToUtf8(FailureText(result)), c.text + " " + erased);
  }
  // Before the erase nothing is said about the memory.
  TFakeLoader loader;
  loader.eraseReply = "ERR\r";
  TFakeLink link(loader);
  TRecordingReport report;
  TFirmwareResume resume;
  const TFlashResult refused = RunFlash(TFlashDriver::BuiltIn, SmallImage(2), resume, link, report);
  EXPECT_EQ(refused.memory, TPanelMemory::Intact);
  EXPECT_EQ(Cp1251ToUtf8(FailureText(refused)), "Не удалось стереть содержимое флэш: панель не приняла команду.");
}

TEST(Flasher, CheckAccumulatorsFollowTheSelector) {
  // Blocks 0-1, 8-9 feed check 1; 2-3 check 2; 4-5 check 3; 6-7 check 4.
  std::array<std::uint8_t, 4> checks{};
  int selector = 1;
  for (int block = 0; block < 10; ++block) Accumulate(checks, selector, static_cast<std::uint8_t>(1u << (block % 8)));
  EXPECT_EQ(checks[0], 0x01 ^ 0x02 ^ 0x01 ^ 0x02);
  EXPECT_EQ(checks[1], 0x04 | 0x08);
  EXPECT_EQ(checks[2], 0x10 | 0x20);
  EXPECT_EQ(checks[3], 0x40 | 0x80);
  EXPECT_EQ(selector, 3);
}
