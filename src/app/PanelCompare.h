#pragma once
// Comparing the panel with a settings file: every page the file holds is read from the panel
// one by one, and each of its parameter fields is compared as a load of the file would show
// it and as the read shows it. The pages, their fields and their captions come from the
// catalogue and the page models, so a page built later joins without a change here.
#include <string>
#include <vector>

#include "base/IniFile.h"
#include "session/PageCatalogue.h"

namespace zorvan {

class TShell;

class TPanelComparison {
 public:
  struct TDifference {
    TPageId page;
    std::string pageCaption;  // cp1251, as all texts here
    std::string field;        // the status label's caption
    std::string control;      // the field's control name
    std::string fileValue;
    std::string panelValue;
  };
  struct TPageResult {
    TPageId page;
    std::string caption;
    bool compared = false;
    std::string reason;  // why it was not compared
  };

  // The built pages whose section the file holds, in read-all order. The file must outlive this.
  TPanelComparison(TShell& shell, const TIniFile& file);
  bool Empty() const { return pages_.empty(); }

  // Call while the shell is connected and idle: records the page just read and starts the
  // next read. False when every page is done (the rest is not compared once the line is lost).
  bool Next();

  const std::vector<TDifference>& Differences() const { return differences_; }
  const std::vector<TPageResult>& Pages() const { return results_; }
  // Every page compared and nothing differs.
  bool Equal() const;

  // "Номер объекта: в файле "0050", в панели "0051"" and "не сравнивалась: ..." lines.
  static std::string DifferenceText(const TDifference& difference);
  static std::string NotComparedText(const TPageResult& page);
  // A file without any page section: there is nothing to compare.
  static std::string NothingToCompareText(const std::string& path);

 private:
  void Record(TPageId page);

  TShell& shell_;
  const TIniFile& file_;
  std::vector<TPageId> pages_;
  std::size_t next_ = 0;
  std::vector<TDifference> differences_;
  std::vector<TPageResult> results_;
};

}  // namespace zorvan
