// zorvan-cli diff: the panel against a saved configuration, over the virtual panel.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "cli/Cli.h"
#include "link/Clock.h"
#include "sim/VirtualPanel.h"

using zorvan::RunCli;

namespace {

struct DiffRun {
  int status;
  std::string out;
};

DiffRun Diff(const std::string& port, const std::string& file) {
  ::testing::internal::CaptureStdout();
  ::testing::internal::CaptureStderr();
  const int status = RunCli({"--port", port, "diff", "--load", file});
  DiffRun run{status, ::testing::internal::GetCapturedStdout()};
  ::testing::internal::GetCapturedStderr();
  return run;
}

zorvan::sim::TPanelOptions Fast() {
  zorvan::sim::TPanelOptions options;
  options.lineRate = 0;
  return options;
}

std::string Saved(zorvan::sim::TVirtualPanel& panel, const std::string& name) {
  const std::string file = ::testing::TempDir() + name;
  std::remove(file.c_str());
  EXPECT_EQ(RunCli({"--port", panel.Start(), "read", "all", "--save", file}), 0);
  return file;
}

}  // namespace

TEST(CliDiff, OneFieldChangedOnThePanelIsExactlyTheDifference) {
  zorvan::sim::TVirtualPanel panel(Fast());
  const std::string file = Saved(panel, "zorvan-diff-one.ini");
  const std::string port = panel.DevicePath();
  DiffRun same = Diff(port, file);
  EXPECT_EQ(same.status, 0);
  EXPECT_EQ(same.out, "");

  panel.Parameters().Answer("+o=0051");
  DiffRun changed = Diff(port, file);
  EXPECT_EQ(changed.status, 1);
  EXPECT_EQ(changed.out, "Общие настройки: Номер объекта: в файле \"0050\", в панели \"0051\"\n");
}

TEST(CliDiff, APageThatDoesNotAnswerIsNotComparedAndNeverEqual) {
  zorvan::TScopedTimeScale fast(0.05);
  zorvan::sim::TVirtualPanel panel(Fast());
  const std::string file = Saved(panel, "zorvan-diff-silent.ini");
  panel.AddFault({zorvan::sim::TFaultKind::Silent, "+GN1", -1});
  DiffRun run = Diff(panel.DevicePath(), file);
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.out.find("Настройка GPRS: не сравнивалась: не прочитано параметров: 1"), std::string::npos) << run.out;
  // The other pages were compared and agree.
  EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 1) << run.out;
}

TEST(CliDiff, OnlyThePagesAndKeysTheFileHoldsAreReadAndCompared) {
  zorvan::sim::TVirtualPanel panel(Fast());
  const std::string port = panel.Start();
  const std::string file = ::testing::TempDir() + "zorvan-diff-template.ini";
  // etKey is not in the file: the panel's master code, whatever it is, is no difference.
  std::ofstream(file, std::ios::binary | std::ios::trunc) << "[formCommon]\r\netO=0049\r\n";
  const auto before = panel.ReceivedLines().size();
  DiffRun run = Diff(port, file);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "Общие настройки: Номер объекта: в файле \"0049\", в панели \"0050\"\n");
  const auto lines = panel.ReceivedLines();
  const std::vector<std::string> sent(lines.begin() + static_cast<long>(before), lines.end());
  EXPECT_NE(std::find(sent.begin(), sent.end(), "+o"), sent.end());
  EXPECT_EQ(std::find(sent.begin(), sent.end(), "+GN1"), sent.end()) << "a page the file lacks was read";
  // Nothing is written by a comparison.
  for (const std::string& line : sent)
    if (line.rfind("+id=", 0) != 0) EXPECT_EQ(line.find('='), std::string::npos) << line;
}

TEST(CliDiff, FilesItRefuse) {
  const std::string dir = ::testing::TempDir();
  const std::string noPages = dir + "zorvan-diff-nopages.ini";
  std::ofstream(noPages, std::ios::binary | std::ios::trunc) << "[Connect]\r\nComPort=/dev/ttyS0\r\n";
  const std::string utf16 = dir + "zorvan-diff-utf16.ini";
  std::ofstream(utf16, std::ios::binary | std::ios::trunc) << std::string("\xFF\xFE[\0f\0", 6);
  for (const std::string& file : {noPages, utf16, dir + "zorvan-diff-missing.ini", dir}) {
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(RunCli({"diff", "--load", file}), 2) << file;
    ::testing::internal::GetCapturedStderr();
  }
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(RunCli({"diff", noPages}), 2);
  ::testing::internal::GetCapturedStderr();
}
