#include "ui/CompareWindow.h"

#include <QDialogButtonBox>
#include <algorithm>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/Shell.h"
#include "base/Cp1251.h"
#include "base/FileAccess.h"
#include "ui/Binder.h"

namespace zorvan {

TCompareWindow::TCompareWindow(TShell& shell, TShellView& view, QWidget& mainWindow)
    : shell_(shell), view_(view), dialog_(std::make_unique<QDialog>(&mainWindow)) {
  dialog_->setObjectName("dlgCompare");
  dialog_->setWindowTitle(QString::fromUtf8("Сравнение панели с файлом настроек"));
  auto* layout = new QVBoxLayout(dialog_.get());
  summary_ = new QLabel(dialog_.get());
  summary_->setWordWrap(true);
  layout->addWidget(summary_);
  table_ = new QTableWidget(0, 4, dialog_.get());
  table_->setObjectName("CompareTable");
  table_->setHorizontalHeaderLabels({QString::fromUtf8("Страница"), QString::fromUtf8("Поле"),
                                     QString::fromUtf8("В файле"), QString::fromUtf8("В панели")});
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->verticalHeader()->setVisible(false);
  table_->horizontalHeader()->setStretchLastSection(true);
  layout->addWidget(table_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, dialog_.get());
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::rejected, dialog_.get(), &QDialog::reject);
  connect(table_, &QTableWidget::cellActivated, this, [this](int row, int) { GoToRow(row); });
  connect(table_, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { GoToRow(row); });
  dialog_->resize(760, 420);
  connect(&timer_, &QTimer::timeout, this, [this] { Step(); });

  TControl& command = shell_.Main()["mnuCompare"];
  command.onClick = [this](TControl&) { Start(); };
}

TCompareWindow::~TCompareWindow() {
  shell_.Main()["mnuCompare"].onClick = nullptr;
}

void TCompareWindow::Start() {
  if (!shell_.Connected() || timer_.isActive()) return;
  const std::string path = autoFile.empty() ? view_.AskLoadSettingsPath() : autoFile;
  if (path.empty()) return;
  file_ = TIniFile();
  std::string error;
  if (!file_.LoadFromFile(path, &error)) {
    view_.ShowError("Error", error);
    return;
  }
  comparison_ = std::make_unique<TPanelComparison>(shell_, file_);
  if (comparison_->Empty()) {
    view_.ShowError("Error", TPanelComparison::NothingToCompareText(path));
    comparison_.reset();
    return;
  }
  shownBefore_ = shell_.Device().CurrentPage();
  shell_.Main().Log().AppendLine(W(" # Сравнение панели с файлом ") + QuotedPath(path));
  timer_.start(50);
}

void TCompareWindow::Step() {
  // The main window's timer applies what the worker posts; here the next page starts once
  // the last one is read.
  if (shell_.Busy()) return;
  shell_.Tick();
  if (comparison_->Next()) return;
  timer_.stop();
  shell_.ShowPage(shownBefore_);
  ShowResult();
}

void TCompareWindow::ShowResult() {
  table_->setRowCount(0);
  rowPages_.clear();
  auto addRow = [this](TPageId page, const std::string& caption, const std::string& field, const std::string& fileValue,
                       const std::string& panelValue, bool failed) {
    const int row = table_->rowCount();
    table_->insertRow(row);
    const std::string cells[] = {caption, field, fileValue, panelValue};
    for (int column = 0; column < 4; ++column) {
      auto* item = new QTableWidgetItem(ToQt(cells[column]));
      if (failed) item->setForeground(Qt::red);
      item->setToolTip(item->text());
      table_->setItem(row, column, item);
    }
    rowPages_.push_back(page);
  };
  int notCompared = 0;
  for (const TPanelComparison::TPageResult& page : comparison_->Pages()) {
    if (!page.compared) {
      ++notCompared;
      addRow(page.page, page.caption, W("не сравнивалась"), page.reason, "", true);
      // The reason takes the room of both values.
      table_->setSpan(table_->rowCount() - 1, 2, 1, 2);
      continue;
    }
    for (const TPanelComparison::TDifference& d : comparison_->Differences())
      if (d.page == page.page) addRow(d.page, d.pageCaption, d.field, d.fileValue, d.panelValue, false);
  }
  table_->resizeColumnsToContents();
  // A long value or reason must not push the panel's column out of sight.
  for (int column = 0; column < 3; ++column)
    table_->setColumnWidth(column, std::min(table_->columnWidth(column), 260));
  const std::size_t differences = comparison_->Differences().size();
  QString text = comparison_->Equal()
                     ? QString::fromUtf8("Панель совпадает с файлом настроек.")
                     : QString::fromUtf8("Отличий: %1; страниц не сравнено: %2. Двойной щелчок по строке открывает её страницу.")
                           .arg(differences)
                           .arg(notCompared);
  summary_->setText(text);
  shell_.Main().Log().AppendLine(" # " + FromQt(text));
  dialog_->show();
  dialog_->raise();
}

void TCompareWindow::GoToRow(int row) {
  if (row < 0 || row >= static_cast<int>(rowPages_.size())) return;
  const TPageEntry& entry = shell_.Catalogue().Entry(rowPages_[static_cast<std::size_t>(row)]);
  TControl& tree = shell_.Main().Tree();
  for (std::size_t i = 0; i < tree.Nodes().size(); ++i)
    if (tree.Nodes()[i].code == entry.nodeCode) {
      tree.SelectNode(static_cast<int>(i));
      break;
    }
  shell_.ShowPage(entry.id);
}

}  // namespace zorvan
