#include "link/PortAccess.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fcntl.h>
#include <sys/ioctl.h>

#include <cstdio>

#include "base/Cp1251.h"
#include "link/XComDrv.h"
#include "sim/VirtualPanel.h"

namespace zorvan {
namespace {

TEST(PortAccess, TheAdviceNamesTheGroupAndTheFix) {
  struct Case {
    const char* what;
    TPortAccessFacts facts;
    const char* expected;  // UTF-8
  };
  const Case cases[] = {
      {"not in the group", {"ann", "root", "dialout", true, false, false},
       "нет прав доступа к порту. Порт принадлежит группе dialout, а пользователь ann в ней не состоит. "
       "Добавьте его в группу командой \"sudo usermod -aG dialout ann\" и войдите в систему заново."},
      {"added but not logged in again", {"ann", "root", "dialout", true, false, true},
       "нет прав доступа к порту. Пользователь ann уже добавлен в группу dialout, которой принадлежит порт, "
       "но это вступит в силу после нового входа в систему: выйдите и войдите снова."},
      {"group without rights", {"ann", "root", "tty", false, false, false},
       "нет прав доступа к порту. Порт доступен только пользователю root; чтобы открыть его, нужны права "
       "администратора (или правило udev, дающее доступ группе)."},
      {"in the group and still refused", {"ann", "root", "dialout", true, true, true},
       "нет прав доступа к порту. Пользователь ann состоит в группе dialout, которой принадлежит порт, но "
       "доступа всё равно нет; проверьте права на устройство."},
  };
  for (const Case& c : cases) EXPECT_EQ(Cp1251ToUtf8(PortAccessAdvice(c.facts)), c.expected) << c.what;
}

TEST(PortAccess, FactsComeFromTheDevice) {
  const std::string path = ::testing::TempDir() + "zorvan-port-access";
  std::FILE* f = std::fopen(path.c_str(), "w");
  ASSERT_NE(f, nullptr);
  std::fclose(f);
  ASSERT_EQ(::chown(path.c_str(), geteuid(), getegid()), 0);
  ::chmod(path.c_str(), 0660);
  TPortAccessFacts facts = PortAccessFacts(path);
  EXPECT_TRUE(facts.groupMayUse);
  EXPECT_TRUE(facts.inGroupNow);  // the file's group is this process's own
  EXPECT_FALSE(facts.user.empty());
  ::chmod(path.c_str(), 0600);
  EXPECT_FALSE(PortAccessFacts(path).groupMayUse);
  std::remove(path.c_str());
}

// Root ignores the exclusive mode, an ordinary user does not: a port left exclusive after the
// program closed it would be "busy" for the user's next program on the same virtual panel.
TEST(PortAccess, AClosedPortIsNoLongerExclusive) {
  sim::TVirtualPanel panel;
  const std::string path = panel.Start();
  auto exclusive = [&] {
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    int on = -1;
    ::ioctl(fd, TIOCGEXCL, &on);
    ::close(fd);
    return on;
  };
  {
    TXComm port;
    port.SetDeviceName(path);
    port.Open();
    EXPECT_EQ(exclusive(), 1);
    port.Close();
    EXPECT_EQ(exclusive(), 0);
    port.Open();
  }  // closed by its end
  EXPECT_EQ(exclusive(), 0);
}

}  // namespace
}  // namespace zorvan
