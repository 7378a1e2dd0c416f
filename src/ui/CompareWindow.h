#pragma once
// "Сравнить с файлом...": reads from the panel every page a chosen settings file holds and
// shows what differs in a table; a row takes the user to its page.
#include <QDialog>
#include <QTimer>
#include <memory>
#include <string>

#include "app/PanelCompare.h"
#include "base/IniFile.h"

class QTableWidget;
class QLabel;

namespace zorvan {

class TShell;
class TShellView;

class TCompareWindow : public QObject {
 public:
  TCompareWindow(TShell& shell, TShellView& view, QWidget& mainWindow);
  ~TCompareWindow() override;

  // Chooses a file and starts reading; the table opens when every page is done.
  void Start();
  QDialog* View() { return dialog_.get(); }
  QTableWidget* Table() { return table_; }
  bool Running() const { return timer_.isActive(); }
  // A file chosen without the file-open dialog (scripted runs); empty: ask the user.
  std::string autoFile;

 private:
  void Step();
  void ShowResult();
  void GoToRow(int row);

  TShell& shell_;
  TShellView& view_;
  std::unique_ptr<QDialog> dialog_;
  QTableWidget* table_ = nullptr;
  QLabel* summary_ = nullptr;
  TIniFile file_;
  std::unique_ptr<TPanelComparison> comparison_;
  std::vector<TPageId> rowPages_;
  TPageId shownBefore_ = TPageId::Common;  // the page the user was on: shown again at the end
  QTimer timer_;
};

}  // namespace zorvan
