#pragma once
// Where the program's files are. Run from its build tree, everything stays beside the program
// (or in the user's folders when that folder cannot be written). Installed, the shipped data
// comes from the install's data folder and everything the program writes goes to the user's
// configuration and state folders: the install folder is read-only.
#include <string>
#include <string_view>

namespace zorvan {

struct TProgramFolders {
  std::string data;    // shipped files ("Messages.txt" ...)
  std::string config;  // "current.ini", "windows.ini"
  std::string state;   // "log.txt"
  bool installed = false;
};

// What the choice depends on; every folder ends with '/'.
struct TFolderFacts {
  std::string programFolder;
  std::string installedData;  // the install's data folder as seen from the program folder
  bool installedDataExists = false;
  bool programFolderWritable = false;
  std::string home;
  std::string xdgConfigHome;  // the environment's values, possibly empty
  std::string xdgStateHome;
};

TProgramFolders ChooseProgramFolders(const TFolderFacts& facts, std::string_view application);

// The running program's folders. The user folders it chooses are created (owner only); a
// folder that cannot be created shows itself later, when a file in it is written.
TProgramFolders ProgramFolders(std::string_view application);

// The folder of the shipped data files, without creating anything.
std::string DataFolder();

}  // namespace zorvan
