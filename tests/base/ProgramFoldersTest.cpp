#include "base/ProgramFolders.h"

#include <gtest/gtest.h>

namespace zorvan {
namespace {

TFolderFacts BuildTree(bool writable) {
  TFolderFacts facts;
  facts.programFolder = "/home/ann/zorvan/build/src/ui/";
  facts.installedData = "/home/ann/zorvan/build/src/ui/../share/zorvan-config/";
  facts.installedDataExists = false;
  facts.programFolderWritable = writable;
  facts.home = "/home/ann";
  return facts;
}

TFolderFacts Installed() {
  TFolderFacts facts;
  facts.programFolder = "/usr/bin/";
  facts.installedData = "/usr/bin/../share/zorvan-config/";
  facts.installedDataExists = true;
  // Root may write /usr/bin; an installed program still keeps its files with the user.
  facts.programFolderWritable = true;
  facts.home = "/home/ann";
  return facts;
}

TEST(ProgramFolders, WhereEachKindOfFileGoes) {
  struct Case {
    const char* what;
    TFolderFacts facts;
    const char* data;
    const char* config;
    const char* state;
    bool installed;
  };
  TFolderFacts xdg = Installed();
  xdg.xdgConfigHome = "/srv/cfg";
  xdg.xdgStateHome = "/srv/state/";
  TFolderFacts relativeXdg = Installed();
  relativeXdg.xdgConfigHome = "cfg";
  relativeXdg.xdgStateHome = "state";
  TFolderFacts homeWithSlash = Installed();
  homeWithSlash.home = "/home/ann/";
  TFolderFacts readOnlyTree = BuildTree(false);
  readOnlyTree.xdgConfigHome = "/srv/cfg";
  const Case cases[] = {
      {"build tree", BuildTree(true), "/home/ann/zorvan/build/src/ui/", "/home/ann/zorvan/build/src/ui/",
       "/home/ann/zorvan/build/src/ui/", false},
      {"read-only build tree", readOnlyTree, "/home/ann/zorvan/build/src/ui/", "/srv/cfg/zorvan-config/",
       "/home/ann/.local/state/zorvan-config/", false},
      {"installed", Installed(), "/usr/bin/../share/zorvan-config/", "/home/ann/.config/zorvan-config/",
       "/home/ann/.local/state/zorvan-config/", true},
      {"XDG folders", xdg, "/usr/bin/../share/zorvan-config/", "/srv/cfg/zorvan-config/",
       "/srv/state/zorvan-config/", true},
      {"relative XDG values are ignored", relativeXdg, "/usr/bin/../share/zorvan-config/",
       "/home/ann/.config/zorvan-config/", "/home/ann/.local/state/zorvan-config/", true},
      {"home ending with a slash", homeWithSlash, "/usr/bin/../share/zorvan-config/",
       "/home/ann/.config/zorvan-config/", "/home/ann/.local/state/zorvan-config/", true},
  };
  for (const Case& c : cases) {
    const TProgramFolders folders = ChooseProgramFolders(c.facts, "zorvan-config");
    EXPECT_EQ(folders.data, c.data) << c.what;
    EXPECT_EQ(folders.config, c.config) << c.what;
    EXPECT_EQ(folders.state, c.state) << c.what;
    EXPECT_EQ(folders.installed, c.installed) << c.what;
  }
}

}  // namespace
}  // namespace zorvan
