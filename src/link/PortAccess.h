#pragma once
// Why a serial device may not be opened by this user, and what fixes it. On Debian a serial
// port belongs to a group (dialout); a user outside it gets "permission denied", and a user
// just added to it gets the same until a new login.
#include <string>

namespace zorvan {

struct TPortAccessFacts {
  std::string user;       // the user running the program
  std::string owner;      // the device's owner
  std::string group;      // the device's group; empty when the system has no name for it
  bool groupMayUse = false;  // the device grants its group reading and writing
  bool inGroupNow = false;   // this process has the group
  bool inGroupListed = false;  // the user is listed in the group (takes effect at the next login)
};

// What the user cannot do and how to fix it (cp1251), to follow "Не удалось открыть порт ...: ".
std::string PortAccessAdvice(const TPortAccessFacts& facts);

// The facts of the device at path for the running user.
TPortAccessFacts PortAccessFacts(const std::string& path);

}  // namespace zorvan
