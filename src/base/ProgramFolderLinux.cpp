#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>

#include "base/ProgramFolders.h"
#include "base/ValueHelpers.h"

#ifndef ZORVAN_DATA_FROM_BIN
#define ZORVAN_DATA_FROM_BIN "../share/zorvan-config"
#endif

namespace zorvan {
namespace {

std::string WithSlash(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

std::string HomeFolder() {
  std::string home = Environment("HOME");
  if (!home.empty()) return home;
  if (const passwd* user = getpwuid(getuid()); user && user->pw_dir) return user->pw_dir;
  return "/tmp";
}

bool IsFolder(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

TFolderFacts GatherFacts() {
  TFolderFacts facts;
  facts.programFolder = ProgramFolder();
  facts.installedData = WithSlash(facts.programFolder + ZORVAN_DATA_FROM_BIN);
  facts.installedDataExists = IsFolder(facts.installedData);
  facts.programFolderWritable = ::access(facts.programFolder.c_str(), W_OK) == 0;
  facts.home = HomeFolder();
  facts.xdgConfigHome = Environment("XDG_CONFIG_HOME");
  facts.xdgStateHome = Environment("XDG_STATE_HOME");
  return facts;
}

// mkdir -p, new folders for their owner only (the settings hold the master code).
void MakeFolders(const std::string& folder) {
  for (std::size_t slash = folder.find('/', 1); slash != std::string::npos; slash = folder.find('/', slash + 1))
    if (::mkdir(folder.substr(0, slash).c_str(), 0700) != 0 && errno != EEXIST) return;
}

}  // namespace

std::string ProgramFolder() {
  char buffer[PATH_MAX + 1];
  const ssize_t n = readlink("/proc/self/exe", buffer, PATH_MAX);
  if (n <= 0) return "./";
  std::string path(buffer, static_cast<std::size_t>(n));
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

TProgramFolders ChooseProgramFolders(const TFolderFacts& facts, std::string_view application) {
  // A relative XDG value is to be ignored, as if it were not set.
  auto base = [&](const std::string& xdg, const char* fallback) {
    return !xdg.empty() && xdg[0] == '/' ? WithSlash(xdg) : WithSlash(facts.home) + fallback;
  };
  const std::string app(application);
  const std::string userConfig = base(facts.xdgConfigHome, ".config/") + app + "/";
  const std::string userState = base(facts.xdgStateHome, ".local/state/") + app + "/";
  TProgramFolders folders;
  folders.installed = facts.installedDataExists;
  if (folders.installed) {
    folders.data = facts.installedData;
    folders.config = userConfig;
    folders.state = userState;
    return folders;
  }
  folders.data = facts.programFolder;
  folders.config = facts.programFolderWritable ? facts.programFolder : userConfig;
  folders.state = facts.programFolderWritable ? facts.programFolder : userState;
  return folders;
}

TProgramFolders ProgramFolders(std::string_view application) {
  TProgramFolders folders = ChooseProgramFolders(GatherFacts(), application);
  if (folders.config != folders.data) MakeFolders(folders.config);
  if (folders.state != folders.data) MakeFolders(folders.state);
  return folders;
}

std::string DataFolder() { return ChooseProgramFolders(GatherFacts(), "").data; }

}  // namespace zorvan
