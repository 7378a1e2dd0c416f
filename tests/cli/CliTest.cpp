// The command-line tool's exit status over the built-in virtual panel.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "app/Cp1251.h"
#include "cli/Cli.h"

using zorvan::RunCli;

TEST(Cli, ExitStatus) {
  struct Case {
    std::vector<std::string> args;
    int status;
  };
  const Case cases[] = {
      {{"info"}, 0},
      {{"send", "+v", "+sp"}, 0},
      {{"hold", "0.2"}, 0},
      {{"--master", "1234", "info"}, 1},
      {{"--port", "/dev/zorvan-no-such-port", "info"}, 3},
      {{}, 2},
      {{"frobnicate"}, 2},
      {{"hold"}, 2},
      {{"hold", "soon"}, 2},
      {{"send"}, 2},
      {{"--master", "12a4", "info"}, 2},
      {{"--port"}, 2},
  };
  for (const auto& c : cases) {
    std::string joined;
    for (const auto& arg : c.args) joined += arg + " ";
    SCOPED_TRACE(joined);
    EXPECT_EQ(RunCli(c.args), c.status);
  }
}

TEST(Cli, LogFileHoldsTheConnectionInOrder) {
  std::string path = ::testing::TempDir() + "zorvan-cli-log.txt";
  std::remove(path.c_str());
  ASSERT_EQ(RunCli({"--log", path, "info"}), 0);
  std::ifstream file(path, std::ios::binary);
  std::stringstream content;
  content << file.rdbuf();
  const std::string log = content.str();
  std::size_t at = 0;
  for (const std::string& step : {std::string("-> com: +v"), zorvan::W("Авторизация: +id=5281"),
                                   std::string("+sp"), std::string(" # 09.005.012"), std::string("+typepan"),
                                   std::string("com<-+rb")}) {
    auto found = log.find(step, at);
    ASSERT_NE(found, std::string::npos) << zorvan::Cp1251ToUtf8(step);
    at = found + step.size();
  }
}
