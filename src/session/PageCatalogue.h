#pragma once
// The page catalogue's types: what a built page's folder gives the program (its kind) and one
// row per page (identifier, captions, tree places, persistence family, orders). The rows
// themselves live in pages/Catalogue.cpp; everything else reads its page facts from them.
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "model/Page.h"

namespace zorvan {

class TDevZorvan;
namespace sim {
class TParameterStore;
}

// A page's panel operation on the worker thread. It may read the page's immutable parts (names,
// parameter table) and nothing else: field values come from a snapshot, changes go through
// the output queue.
using TPageOperation = void (*)(TDevZorvan& device, const TPage& page);

// What a built page's folder gives the catalogue.
struct TPageKind {
  std::unique_ptr<TPage> (*create)(std::string id, std::string caption) = nullptr;
  TPageOperation read = nullptr;
  TPageOperation write = nullptr;
  // Requests the page posts (links, buttons) and the operation each runs.
  std::vector<std::pair<std::uint8_t, TPageOperation>> requests = {};
  // Work done in the idle cycle while the page is shown, at most once a period.
  TPageOperation idle = nullptr;
  int idleSeconds = 0;
  // Runs once a connection's version check has passed.
  TPageOperation connected = nullptr;
  // The virtual panel's commands of this page.
  void (*panelCommands)(sim::TParameterStore& store) = nullptr;
};

// Every page of the program, in the order of the family-9 page tree.
enum class TPageId : int {
  Common, ATests, GPRS, Ways, ACP, Shleif, Razd, Keyboard, Keys, TMKeys, Outs, EnNumber, SMS, History
};
inline constexpr int kPageCount = 14;

// A page operation that runs another page's too; single-only steps are left out of read-all
// and write-all.
struct TPageStep {
  TPageId page;
  bool singleOnly = false;
};

struct TPageEntry {
  TPageId id;
  const char* name;     // identifier: form name and settings-file section
  const char* caption;  // UTF-8
  const char* tree9;    // UTF-8 node caption in a family-9 panel's tree
  const char* tree101;  // in a family-101 panel's tree; "" when the page is not there
  int nodeCode;
  bool incl;            // persistence family: defaults in the controls' hints
  bool clearForRead;    // has a clearing of its own before it is read alone
  std::vector<TPageStep> readSteps;   // empty: the page's own read
  std::vector<TPageStep> writeSteps;  // empty: the page's own write
  const TPageKind* kind;  // null while the page is not built: it shows its caption only
};

struct TCatalogue {
  std::vector<TPageEntry> pages;  // in TPageId order
  std::vector<TPageId> readAll, writeAll;
  std::vector<TPageId> save, load, defaults;
  std::vector<TPageId> clearOnReadAll;  // pages whose own clearing runs before a read-all
  std::vector<TPageId> marksOnAll;      // pages whose marks are reset before read-all/write-all

  const TPageEntry& Entry(TPageId id) const { return pages.at(static_cast<std::size_t>(id)); }
  const TPageEntry* Find(std::string_view name) const;
  const TPageEntry* FindByNode(int nodeCode) const;
  // The page tree of a panel family: node captions (cp1251) and codes.
  std::vector<TTreeNode> TreeNodes(int family) const;
};

// The pages of one program run, created from the catalogue and owned here.
class TPageSet {
 public:
  explicit TPageSet(const TCatalogue& catalogue);
  const TCatalogue& Catalogue() const { return catalogue_; }
  TPage& Page(TPageId id) const { return *pages_.at(static_cast<std::size_t>(id)); }
  TPage* Find(std::string_view name) const;
  const std::vector<std::unique_ptr<TPage>>& All() const { return pages_; }

  // Typed access for the rules between pages.
  template <class T>
  T& Get() const {
    for (const auto& page : pages_)
      if (auto* typed = dynamic_cast<T*>(page.get())) return *typed;
    throw std::logic_error("no such page");
  }

 private:
  const TCatalogue& catalogue_;
  std::vector<std::unique_ptr<TPage>> pages_;
};

}  // namespace zorvan
