#pragma once
// The page catalogue's types: what a built page's folder gives the program (its kind) and one
// row per page (identifier, captions, tree places, persistence family, orders). The rows
// themselves live in pages/Catalogue.cpp; everything else reads its page facts from them.
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "model/Page.h"

namespace zorvan {

class TDevZorvan;
class TMsgFile;

// A page's panel operation on the worker thread. It may read the page's immutable parts (names,
// parameter table) and nothing else: field values come from a snapshot, changes go through
// the output queue or a step run on the user-interface thread.
using TPageOperation = void (*)(TDevZorvan& device, const TPage& page);

// A request a page posts (a link, a button) and how it runs.
struct TPageRequest {
  std::uint8_t code = 0;
  TPageOperation operation = nullptr;
  bool disablesControls = false;  // the main window's commands are off while it runs
  bool cancellable = false;       // the cancel command reaches its exchanges
  bool clearsAbort = true;        // it starts with the abort flag clear
};

// Work done in the idle cycle while the page is shown, at most once a period.
struct TIdleWork {
  TPageOperation operation = nullptr;
  int periodMs = 0;
  // The work talks to the panel as a keep-alive would: it postpones the keep-alive, and runs
  // only after the line has been quiet for its period.
  bool countsAsActivity = false;
};

// What a page keeps on the worker side between operations (a position in the event log, the
// last loop levels). It belongs to the page's kind, lives as long as the pages and is reset
// while no worker runs.
struct TPageState {
  virtual ~TPageState() = default;
};

// What a built page's folder gives the catalogue.
struct TPageKind {
  std::unique_ptr<TPage> (*create)(std::string id, std::string caption) = nullptr;
  TPageOperation read = nullptr;
  TPageOperation write = nullptr;
  std::vector<TPageRequest> requests = {};
  std::vector<TIdleWork> idle = {};
  // Runs once a connection's version check has passed.
  TPageOperation connected = nullptr;
  std::unique_ptr<TPageState> (*createState)() = nullptr;
};

// A page kind's factory for its page class.
template <class TPageClass>
std::unique_ptr<TPage> CreatePage(std::string id, std::string caption) {
  return std::make_unique<TPageClass>(std::move(id), std::move(caption));
}

// A page operation's view of its own page class: the catalogue hands each kind its own page.
template <class TPageClass>
const TPageClass& PageOf(const TPage& page) {
  return static_cast<const TPageClass&>(page);
}

// What pages and their rules may use from the program while they are built and afterwards.
struct TPageContext {
  const TMsgFile* messages = nullptr;    // the event texts, loaded before the pages are built
  const TPanelIdentity* panel = nullptr;  // the connected panel's identity (the last one)
  // The connection ends and is opened again (after the panel restarts).
  std::function<void()> reconnect;
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

class TPageSet;

struct TCatalogue {
  std::vector<TPageEntry> pages;  // in TPageId order
  std::vector<TPageId> readAll, writeAll;
  std::vector<TPageId> save, load, defaults;
  std::vector<TPageId> clearOnReadAll;  // pages whose own clearing runs before a read-all
  std::vector<TPageId> marksOnAll;      // pages whose marks are reset before read-all/write-all
  // The rules between pages, wired once every page exists.
  void (*wireRules)(TPageSet& pages, const TPageContext& context) = nullptr;

  const TPageEntry& Entry(TPageId id) const { return pages.at(static_cast<std::size_t>(id)); }
  const TPageEntry* Find(std::string_view name) const;
  const TPageEntry* FindByNode(int nodeCode) const;
  // The page tree of a panel family: node captions (cp1251) and codes.
  std::vector<TTreeNode> TreeNodes(int family) const;
};

// The pages of one program run, created from the catalogue and owned here. Writable access is
// for the user-interface thread; the worker gets the set as const.
class TPageSet {
 public:
  explicit TPageSet(const TCatalogue& catalogue, TPageContext context = {});
  const TCatalogue& Catalogue() const { return catalogue_; }
  const TPageContext& Context() const { return context_; }
  TPage& Page(TPageId id) { return *pages_.at(static_cast<std::size_t>(id)); }
  const TPage& Page(TPageId id) const { return *pages_.at(static_cast<std::size_t>(id)); }
  TPage* Find(std::string_view name) const;
  const std::vector<std::unique_ptr<TPage>>& All() const { return pages_; }

  // Typed access for the rules between pages: null while that page is not built.
  template <class T>
  T* Get() {
    for (const auto& page : pages_)
      if (auto* typed = dynamic_cast<T*>(page.get())) return typed;
    return nullptr;
  }
  template <class T>
  const T* Get() const {
    for (const auto& page : pages_)
      if (const auto* typed = dynamic_cast<const T*>(page.get())) return typed;
    return nullptr;
  }

  // A page kind's worker state; null for a kind without one.
  TPageState* WorkerState(TPageId id) const { return states_.at(static_cast<std::size_t>(id)).get(); }
  // Fresh states for a new connection; only while no worker runs.
  void ResetWorkerStates();

 private:
  const TCatalogue& catalogue_;
  TPageContext context_;
  std::vector<std::unique_ptr<TPage>> pages_;
  std::vector<std::unique_ptr<TPageState>> states_;
};

}  // namespace zorvan
