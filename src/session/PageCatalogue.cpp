#include "session/PageCatalogue.h"

#include "base/Cp1251.h"

namespace zorvan {

const TPageEntry* TCatalogue::Find(std::string_view name) const {
  for (const TPageEntry& entry : pages)
    if (name == entry.name) return &entry;
  return nullptr;
}

const TPageEntry* TCatalogue::FindByNode(int nodeCode) const {
  // The loop page answers to all its node codes.
  if (nodeCode >= 1 && nodeCode <= 8) return &Entry(TPageId::ACP);
  for (const TPageEntry& entry : pages)
    if (entry.nodeCode == nodeCode) return &entry;
  return nullptr;
}

std::vector<TTreeNode> TCatalogue::TreeNodes(int family) const {
  std::vector<TTreeNode> nodes;
  for (const TPageEntry& entry : pages) {
    const char* caption = family == 101 ? entry.tree101 : entry.tree9;
    if (*caption) nodes.push_back({W(caption), entry.nodeCode});
  }
  return nodes;
}

TPageSet::TPageSet(const TCatalogue& catalogue) : catalogue_(catalogue) {
  for (const TPageEntry& entry : catalogue.pages) {
    std::string caption = W(entry.caption);
    if (entry.kind && entry.kind->create) pages_.push_back(entry.kind->create(entry.name, std::move(caption)));
    else if (entry.incl) pages_.push_back(std::make_unique<TformIncl>(entry.name, std::move(caption)));
    else pages_.push_back(std::make_unique<TPlainPage>(entry.name, std::move(caption)));
    pages_.back()->ResolveStatusLabels();
  }
}

TPage* TPageSet::Find(std::string_view name) const {
  for (const auto& page : pages_)
    if (page->Name() == name) return page.get();
  return nullptr;
}

}  // namespace zorvan
