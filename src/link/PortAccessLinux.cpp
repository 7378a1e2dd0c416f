#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

#include "base/Cp1251.h"
#include "link/PortAccess.h"

namespace zorvan {

std::string PortAccessAdvice(const TPortAccessFacts& facts) {
  std::string text = W("нет прав доступа к порту.");
  if (facts.group.empty() || !facts.groupMayUse) {
    const std::string owner = facts.owner.empty() ? W("его владельца") : facts.owner;
    return text + W(" Порт доступен только пользователю ") + owner +
           W("; чтобы открыть его, нужны права администратора (или правило udev, дающее доступ группе).");
  }
  if (facts.inGroupNow)
    return text + W(" Пользователь ") + facts.user + W(" состоит в группе ") + facts.group +
           W(", которой принадлежит порт, но доступа всё равно нет; проверьте права на устройство.");
  if (facts.inGroupListed)
    return text + W(" Пользователь ") + facts.user + W(" уже добавлен в группу ") + facts.group +
           W(", которой принадлежит порт, но это вступит в силу после нового входа в систему: выйдите и войдите снова.");
  return text + W(" Порт принадлежит группе ") + facts.group + W(", а пользователь ") + facts.user +
         W(" в ней не состоит. Добавьте его в группу командой \"sudo usermod -aG ") + facts.group + " " +
         facts.user + W("\" и войдите в систему заново.");
}

TPortAccessFacts PortAccessFacts(const std::string& path) {
  TPortAccessFacts facts;
  const uid_t uid = geteuid();
  // getpwuid's record is overwritten by the next call: keep what is needed of it.
  const passwd* me = getpwuid(uid);
  const bool known = me != nullptr;
  facts.user = known ? me->pw_name : std::to_string(uid);
  const gid_t myGroup = known ? me->pw_gid : getegid();
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return facts;
  if (const passwd* owner = getpwuid(st.st_uid)) facts.owner = owner->pw_name;
  facts.groupMayUse = (st.st_mode & S_IRGRP) && (st.st_mode & S_IWGRP);
  if (const group* g = getgrgid(st.st_gid)) facts.group = g->gr_name;
  std::vector<gid_t> now(static_cast<std::size_t>(std::max(getgroups(0, nullptr), 0)));
  if (!now.empty()) now.resize(static_cast<std::size_t>(std::max(getgroups(static_cast<int>(now.size()), now.data()), 0)));
  facts.inGroupNow = getegid() == st.st_gid || std::find(now.begin(), now.end(), st.st_gid) != now.end();
  if (known) {
    int count = 64;
    std::vector<gid_t> listed(static_cast<std::size_t>(count));
    if (getgrouplist(facts.user.c_str(), myGroup, listed.data(), &count) < 0) {
      listed.resize(static_cast<std::size_t>(count));
      getgrouplist(facts.user.c_str(), myGroup, listed.data(), &count);
    }
    listed.resize(static_cast<std::size_t>(std::max(count, 0)));
    facts.inGroupListed = std::find(listed.begin(), listed.end(), st.st_gid) != listed.end();
  }
  return facts;
}

}  // namespace zorvan
