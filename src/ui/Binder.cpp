#include "ui/Binder.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTableWidget>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include <QKeyEvent>
#include <QGroupBox>
#include <QFrame>
#include <QHeaderView>
#include <QIcon>
#include <QTextCursor>
#include <QVBoxLayout>

#include "base/Cp1251.h"
#include "session/Colors.h"
#include "widgets/CheckCombo.h"
#include "widgets/Trislider.h"

namespace zorvan {
namespace {

using K = TControlKind;

// Removes the model listener when the widget goes first.
void Listen(QObject* widget, TControl& control, std::function<void(const TControl&)> apply) {
  apply(control);
  const int id = control.AddListener(std::move(apply));
  QObject::connect(widget, &QObject::destroyed, [&control, id] { control.RemoveListener(id); });
}

void ApplyLook(QWidget* w, const TControl& c) {
  w->setEnabled(c.Enabled());
  if (!c.IsA(K::Form)) w->setVisible(c.Visible());
  QFont font = w->font();
  font.setBold(c.FontStyle() & fsBold);
  font.setItalic(c.FontStyle() & fsItalic);
  font.setUnderline(c.FontStyle() & fsUnderline);
  w->setFont(font);
  QPalette palette = w->palette();
  // The disabled group keeps the style's colours, so that a disabled control looks disabled.
  for (const auto group : {QPalette::Active, QPalette::Inactive}) {
    palette.setColor(group, QPalette::WindowText, ColorFromName(c.FontColor(), w));
    palette.setColor(group, QPalette::Text, ColorFromName(c.FontColor(), w));
    palette.setColor(group, QPalette::ButtonText, ColorFromName(c.FontColor(), w));
  }
  // Back to the window colour means the style's own field colour again, not the last one set.
  palette.setColor(QPalette::Base, c.BackColor() == "clWindow" ? QApplication::palette(w).color(QPalette::Base)
                                                               : ColorFromName(c.BackColor(), w, true));
  w->setPalette(palette);
}

// Lets a typed character through the control's key filter; keys without a character pass.
class TKeyFilterObject : public QObject {
 public:
  TKeyFilterObject(QWidget* edit, TKeyFilter filter) : QObject(edit), edit_(edit), filter_(filter) {
    edit->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched != edit_ || event->type() != QEvent::KeyPress) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    // Clipboard and other shortcuts are not typing.
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
    // Backspace is the filter's to refuse too (a field that may not lose its text).
    if (key->key() == Qt::Key_Backspace) return filter_('\b') == 0;
    const QString text = key->text();
    if (text.size() != 1 || text[0].unicode() < 0x20 || text[0].unicode() == 0x7f) return false;
    const std::string typed = FromQt(text);
    const char allowed = typed.size() == 1 ? filter_(typed[0]) : 0;
    if (allowed == 0) return true;
    if (allowed == typed[0]) return false;
    // The filter turned the key into another character (lower-case hex digits, for example).
    if (auto* line = qobject_cast<QLineEdit*>(edit_)) line->insert(ToQt(std::string(1, allowed)));
    else if (auto* box = qobject_cast<QComboBox*>(edit_); box && box->lineEdit())
      box->lineEdit()->insert(ToQt(std::string(1, allowed)));
    return true;
  }

 private:
  QWidget* edit_;
  TKeyFilter filter_;
};

void InstallKeyFilter(QWidget* widget, const TControl& c) {
  if (c.KeyFilter()) new TKeyFilterObject(widget, c.KeyFilter());
}

// Runs the control's exit rule when the focus moves on to another control of the window.
// Popups (the list's own drop-down) and other windows (a message box) are not a move on.
class TExitWatcher : public QObject {
 public:
  TExitWatcher(QWidget* widget, TControl& control) : QObject(widget), widget_(widget), control_(control) {
    widget->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched != widget_ || event->type() != QEvent::FocusOut || refocusing_) return false;
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    if (reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason || reason == Qt::MenuBarFocusReason)
      return false;
    // After the focus change has finished: the rule may open a modal message box. Only a
    // focus that went on to another control of the same window is a leave; the list's own
    // drop-down gives the focus back when it closes.
    QTimer::singleShot(0, widget_, [this] {
      const QWidget* now = QApplication::focusWidget();
      if (!now || now == widget_ || widget_->isAncestorOf(now) || now->window() != widget_->window()) return;
      if (control_.Exit()) return;
      // The rule's message box took the window's activation; without it back, the next
      // leave would move the focus inside an inactive window, which is no leave at all.
      refocusing_ = true;
      widget_->activateWindow();
      widget_->setFocus(Qt::OtherFocusReason);
      refocusing_ = false;
    });
    return false;
  }

 private:
  QWidget* widget_;
  TControl& control_;
  // Giving the focus back must not run the exit rule of the control that had it meanwhile,
  // or two refused entries would hand the focus to each other for ever.
  static inline bool refocusing_ = false;
};

void WatchExit(QWidget* widget, TControl& c) {
  if (c.onExit) new TExitWatcher(widget, c);
}

void BindLineEdit(QLineEdit* edit, TControl& c) {
  InstallKeyFilter(edit, c);
  WatchExit(edit, c);
  Listen(edit, c, [edit](const TControl& m) {
    ApplyLook(edit, m);
    if (m.MaxLength() > 0) edit->setMaxLength(m.MaxLength());
    const QString text = ToQt(m.Text());
    if (edit->text() != text) {
      const int cursor = edit->cursorPosition();
      edit->setText(text);
      edit->setCursorPosition(cursor);
    }
  });
  QObject::connect(edit, &QLineEdit::textEdited, [&c](const QString& t) { c.SetText(FromQt(t)); });
}

// The picture of a list item from the control's image list; none for an index beyond it.
QIcon ItemIcon(const TControl& m, int item) {
  const int image = m.ItemImage(item);
  if (image < 0 || image >= static_cast<int>(m.ImageList().size())) return {};
  return QIcon(QString::fromStdString(m.ImageList()[static_cast<std::size_t>(image)]));
}

void BindCombo(QComboBox* box, TControl& c) {
  InstallKeyFilter(box, c);
  WatchExit(box, c);
  constexpr int kImageRole = Qt::UserRole + 1;
  auto shownImages = std::make_shared<std::vector<std::string>>();
  Listen(box, c, [box, shownImages](const TControl& m) {
    ApplyLook(box, m);
    const QSignalBlocker block(box);
    const int count = static_cast<int>(m.Items().size());
    bool same = box->count() == count && *shownImages == m.ImageList();
    for (int i = 0; same && i < count; ++i)
      same = box->itemText(i) == ToQt(m.Items()[static_cast<std::size_t>(i)]) &&
             box->itemData(i, kImageRole).toInt() == m.ItemImage(i);
    if (!same) {
      box->clear();
      for (int i = 0; i < count; ++i) {
        box->addItem(ItemIcon(m, i), ToQt(m.Items()[static_cast<std::size_t>(i)]));
        box->setItemData(i, m.ItemImage(i), kImageRole);
      }
      *shownImages = m.ImageList();
    }
    box->setCurrentIndex(m.ItemIndex());
    if (box->isEditable() || m.ItemIndex() < 0) box->setEditText(ToQt(m.Text()));
  });
  QObject::connect(box, &QComboBox::activated, [&c](int index) {
    c.SetItemIndex(index);
    c.Changed();
  });
  if (!box->isEditable()) return;
  // What is typed stays as typed: no completion from the items, no item added on Enter. The
  // control's own rules decide what the text becomes.
  box->setCompleter(nullptr);
  box->setInsertPolicy(QComboBox::NoInsert);
  QObject::connect(box, &QComboBox::editTextChanged, [box, &c](const QString& t) {
    c.SetText(FromQt(t));
    // A text the control's rule replaced is selected, so the next key types over it.
    if (box->lineEdit() && ToQt(c.Text()) != t) box->lineEdit()->selectAll();
  });
}

void ShowCheck(QAbstractButton* button, const TControl& m) {
  ApplyLook(button, m);
  const QSignalBlocker block(button);
  button->setChecked(m.Checked());
  if (!m.Text().empty() || button->text().isEmpty()) button->setText(ToQt(m.Text()));
}

void BindCheck(QAbstractButton* button, TControl& c) {
  Listen(button, c, [button](const TControl& m) { ShowCheck(button, m); });
  QObject::connect(button, &QAbstractButton::clicked, [&c](bool checked) {
    c.SetChecked(checked);
    c.Click();
  });
}

// A radio button of a group: the model keeps the group exclusive, so the buttons' parents do
// not matter (two groups may share one panel), and a click on the checked one keeps it checked.
void BindRadio(QRadioButton* button, TControl& c) {
  if (c.RadioGroupMembers().empty()) return BindCheck(button, c);
  button->setAutoExclusive(false);
  Listen(button, c, [button](const TControl& m) { ShowCheck(button, m); });
  QObject::connect(button, &QAbstractButton::clicked, [button, &c] {
    c.SetChecked(true);
    ShowCheck(button, c);
    c.Click();
  });
}

// A radio group shows its items as radio buttons of its own; the user's choice is a change.
void BindRadioGroup(QGroupBox* group, TControl& c) {
  auto* buttons = new QButtonGroup(group);
  Listen(group, c, [group, buttons](const TControl& m) {
    ApplyLook(group, m);
    if (!m.Text().empty()) group->setTitle(ToQt(m.Text()));
    QStringList shown, items;
    for (QAbstractButton* b : buttons->buttons()) shown << b->text();
    for (const auto& i : m.Items()) items << ToQt(i);
    if (shown != items) {
      for (QAbstractButton* b : buttons->buttons()) delete b;
      if (!group->layout()) new QVBoxLayout(group);
      for (int i = 0; i < items.size(); ++i) {
        auto* b = new QRadioButton(items[i], group);
        buttons->addButton(b, i);
        group->layout()->addWidget(b);
      }
    }
    const QSignalBlocker block(buttons);
    if (QAbstractButton* b = buttons->button(m.ItemIndex())) b->setChecked(true);
    else if (QAbstractButton* checked = buttons->checkedButton()) {
      // An exclusive group cannot uncheck its last button; no selection is possible in the model.
      buttons->setExclusive(false);
      checked->setChecked(false);
      buttons->setExclusive(true);
    }
  });
  QObject::connect(buttons, &QButtonGroup::idClicked, [&c](int id) {
    c.SetItemIndex(id);
    c.Changed();
  });
}

void BindButton(QAbstractButton* button, TControl& c) {
  const bool tool = c.IsA(K::ToolButton);
  Listen(button, c, [button, tool](const TControl& m) {
    ApplyLook(button, m);
    // A toolbar button shows its command as a hint; a push button shows its caption.
    if (tool) button->setToolTip(ToQt(m.Text()));
    else button->setText(ToQt(m.Text()));
  });
  QObject::connect(button, &QAbstractButton::clicked, [&c] { c.Click(); });
}

void BindAction(QAction* action, TControl& c) {
  Listen(action, c, [action](const TControl& m) {
    action->setEnabled(m.Enabled());
    action->setVisible(m.Visible());
    action->setText(ToQt(m.Text()));
    if (action->isCheckable()) action->setChecked(m.Checked());
  });
  QObject::connect(action, &QAction::triggered, [&c] { c.Click(); });
}

void BindLabel(QLabel* label, TControl& c) {
  const bool link = c.IsA(K::LinkLabel);
  Listen(label, c, [label, link](const TControl& m) {
    ApplyLook(label, m);
    // A link label is a link only while it can be clicked.
    // A link is drawn in its own colour when it has one (the action it offers).
    if (link && m.Enabled()) {
      const QString style = m.FontColor() == "clWindowText"
                                ? QString()
                                : QString(" style=\"color:%1\"").arg(ColorFromName(m.FontColor(), label).name());
      label->setText("<a href=\"#\"" + style + ">" + ToQt(m.Text()).toHtmlEscaped() + "</a>");
    }
    else label->setText(ToQt(m.Text()));
  });
  if (link) {
    label->setTextFormat(Qt::AutoText);
    QObject::connect(label, &QLabel::linkActivated, [&c] { c.Click(); });
  }
}

// A log follows its new lines while the user is at its end; scrolled up to read, it stays.
// The text edit's own rule looks at the last line, which a horizontal scroll bar that comes
// with a long line pushes out of view for good.
void FollowEnd(QPlainTextEdit* memo) {
  QScrollBar* bar = memo->verticalScrollBar();
  auto following = std::make_shared<bool>(true);
  QObject::connect(bar, &QScrollBar::valueChanged, memo, [bar, following](int value) {
    *following = value >= bar->maximum();
  });
  QObject::connect(bar, &QScrollBar::rangeChanged, memo, [bar, following](int, int maximum) {
    if (*following) bar->setValue(maximum);
  });
}

// Whether the model's lines are the shown ones with more after them. A long memo (the log)
// is only checked at its last shown line, so that appending stays cheap.
bool ContinuesShown(const std::vector<std::string>& shown, const std::vector<std::string>& lines) {
  if (lines.size() < shown.size()) return false;
  if (shown.empty()) return true;
  constexpr std::size_t kFullCheck = 200;
  const std::size_t from = shown.size() > kFullCheck ? shown.size() - 1 : 0;
  return std::equal(shown.begin() + static_cast<std::ptrdiff_t>(from), shown.end(),
                    lines.begin() + static_cast<std::ptrdiff_t>(from));
}

std::vector<std::string> MemoLines(const QPlainTextEdit* memo) {
  const QString text = memo->toPlainText();
  std::vector<std::string> lines;
  if (text.isEmpty()) return lines;
  for (const QString& line : text.split('\n')) lines.push_back(FromQt(line));
  return lines;
}

// Code appends lines or sets them all; the user's typing sets the model's lines, within the
// control's length limit.
void BindMemo(QPlainTextEdit* memo, TControl& c) {
  if (memo->isReadOnly()) FollowEnd(memo);
  auto shown = std::make_shared<std::vector<std::string>>();
  auto syncing = std::make_shared<bool>(false);
  Listen(memo, c, [memo, shown, syncing](const TControl& m) {
    ApplyLook(memo, m);
    const auto& lines = m.Lines();
    if (lines == *shown) return;
    *syncing = true;
    if (!ContinuesShown(*shown, lines)) {
      memo->clear();
      shown->clear();
    }
    for (std::size_t i = shown->size(); i < lines.size(); ++i) {
      memo->appendPlainText(ToQt(lines[i]));
      shown->push_back(lines[i]);
    }
    *syncing = false;
  });
  QObject::connect(memo, &QPlainTextEdit::textChanged, [memo, &c, shown, syncing] {
    if (*syncing) return;
    std::vector<std::string> typed = MemoLines(memo);
    if (c.MaxLength() > 0 && memo->toPlainText().size() > c.MaxLength()) {
      // Too long: the edit does not happen, as in a one-line edit with a limit.
      const int cursor = memo->textCursor().position();
      *syncing = true;
      memo->clear();
      for (const auto& line : *shown) memo->appendPlainText(ToQt(line));
      QTextCursor back = memo->textCursor();
      back.setPosition(std::min(std::max(0, cursor - 1), static_cast<int>(memo->toPlainText().size())));
      memo->setTextCursor(back);
      *syncing = false;
      return;
    }
    *shown = typed;
    c.SetLines(std::move(typed));
  });
}

void BindTree(QTreeWidget* tree, TControl& c) {
  Listen(tree, c, [tree](const TControl& m) {
    ApplyLook(tree, m);
    const QSignalBlocker block(tree);
    if (tree->topLevelItemCount() != static_cast<int>(m.Nodes().size()) ||
        (tree->topLevelItemCount() > 0 && tree->topLevelItem(0)->text(0) != ToQt(m.Nodes()[0].caption))) {
      tree->clear();
      for (const auto& node : m.Nodes()) tree->addTopLevelItem(new QTreeWidgetItem(QStringList(ToQt(node.caption))));
    }
    const int index = m.SelectedNode();
    QTreeWidgetItem* item = index >= 0 ? tree->topLevelItem(index) : nullptr;
    tree->setCurrentItem(item);
  });
  QObject::connect(tree, &QTreeWidget::currentItemChanged, [tree, &c](QTreeWidgetItem* item) {
    if (item) c.SelectNode(tree->indexOfTopLevelItem(item));
  });
}

void BindSpin(QSpinBox* spin, TControl& c) {
  spin->setRange(-1000000, 1000000);
  Listen(spin, c, [spin](const TControl& m) {
    ApplyLook(spin, m);
    const QSignalBlocker block(spin);
    spin->setValue(QString::fromStdString(m.Text()).toInt());
  });
  QObject::connect(spin, &QSpinBox::valueChanged, [&c](int value) { c.SetText(std::to_string(value)); });
}

// The model's column widths go to the header; what the user resizes comes back.
void ShowColumnWidths(QHeaderView* header, const TControl& m) {
  for (int column = 0; column < header->count(); ++column)
    if (const int width = m.ColumnWidth(column); width > 0 && header->sectionSize(column) != width)
      header->resizeSection(column, width);
}

void FollowColumnWidths(QHeaderView* header, TControl& c, std::shared_ptr<bool> syncing) {
  QObject::connect(header, &QHeaderView::sectionResized, [header, &c, syncing](int column, int, int width) {
    // Only a width the user can drag is the user's; a fitted or stretched one is the view's.
    const bool stretched = header->stretchLastSection() && column == header->count() - 1;
    if (*syncing || stretched || header->sectionResizeMode(column) != QHeaderView::Interactive) return;
    c.SetColumnWidth(column, width);
  });
}

// List views and grids: rows of texts, the first row of a list view being its caption column;
// the selected row is the view's current row, and a click on a row selects it in the model.
void BindTable(QTableWidget* table, TControl& c) {
  table->setSelectionBehavior(QAbstractItemView::SelectRows);
  auto syncing = std::make_shared<bool>(false);
  Listen(table, c, [table, syncing](const TControl& m) {
    ApplyLook(table, m);
    *syncing = true;
    const auto& rows = m.Rows();
    int columns = table->columnCount();
    for (const auto& r : rows) columns = std::max(columns, static_cast<int>(r.size()));
    table->setRowCount(static_cast<int>(rows.size()));
    table->setColumnCount(columns);
    for (int r = 0; r < static_cast<int>(rows.size()); ++r)
      for (int col = 0; col < columns; ++col) {
        const QString text = ToQt(m.Cell(col, r));
        QTableWidgetItem* item = table->item(r, col);
        if (!item) table->setItem(r, col, item = new QTableWidgetItem(text));
        else if (item->text() != text) item->setText(text);
        const auto [background, fore] = m.CellColors(col, r);
        item->setBackground(background.empty() ? QBrush() : QBrush(ColorFromName(background, table, true)));
        item->setForeground(fore.empty() ? QBrush() : QBrush(ColorFromName(fore, table)));
      }
    ShowColumnWidths(table->horizontalHeader(), m);
    if (m.SelectedRow() < 0) {
      table->clearSelection();
      table->setCurrentCell(-1, -1);
    } else if (table->currentRow() != m.SelectedRow()) {
      table->setCurrentCell(m.SelectedRow(), std::max(0, table->currentColumn()));
    }
    *syncing = false;
  });
  QObject::connect(table, &QTableWidget::currentCellChanged, [&c, syncing](int row) {
    if (!*syncing) c.SelectRow(row);
  });
  FollowColumnWidths(table->horizontalHeader(), c, syncing);
}

void BindList(QTreeWidget* list, TControl& c) {
  auto syncing = std::make_shared<bool>(false);
  Listen(list, c, [list, syncing](const TControl& m) {
    ApplyLook(list, m);
    *syncing = true;
    const auto& rows = m.Rows();
    const int count = static_cast<int>(rows.size());
    while (list->topLevelItemCount() > count) delete list->takeTopLevelItem(list->topLevelItemCount() - 1);
    int columns = list->columnCount();
    for (const auto& r : rows) columns = std::max(columns, static_cast<int>(r.size()));
    list->setColumnCount(columns);
    for (int r = 0; r < count; ++r) {
      QTreeWidgetItem* item = list->topLevelItem(r);
      if (!item) list->addTopLevelItem(item = new QTreeWidgetItem);
      for (int col = 0; col < columns; ++col)
        if (const QString text = ToQt(m.Cell(col, r)); item->text(col) != text) item->setText(col, text);
    }
    ShowColumnWidths(list->header(), m);
    if (QTreeWidgetItem* selected = list->topLevelItem(m.SelectedRow())) {
      if (list->currentItem() != selected) list->setCurrentItem(selected);
    } else {
      list->setCurrentItem(nullptr);
      list->clearSelection();
    }
    *syncing = false;
  });
  QObject::connect(list, &QTreeWidget::currentItemChanged, [list, &c, syncing](QTreeWidgetItem* item) {
    if (!*syncing) c.SelectRow(item ? list->indexOfTopLevelItem(item) : -1);
  });
  FollowColumnWidths(list->header(), c, syncing);
}

void BindStatusBar(QStatusBar* bar, TControl& c) {
  auto labels = std::make_shared<std::vector<QLabel*>>();
  Listen(bar, c, [bar, labels](const TControl& m) {
    const int widths[] = {55, 100, 100, 100, 200};
    while (labels->size() < m.Items().size()) {
      auto* label = new QLabel(bar);
      label->setObjectName(QString("StatusPanel%1").arg(labels->size()));
      const std::size_t i = labels->size();
      label->setMinimumWidth(i < 5 ? widths[i] : 100);
      bar->addWidget(label);
      labels->push_back(label);
    }
    for (std::size_t i = 0; i < labels->size(); ++i)
      (*labels)[i]->setText(i < m.Items().size() ? ToQt(m.Items()[i]) : QString());
  });
}

void BindProgress(QProgressBar* bar, TControl& c) {
  Listen(bar, c, [bar](const TControl& m) {
    ApplyLook(bar, m);
    // A level gauge shows its level as a number too.
    if (m.IsA(K::Gauge)) {
      bar->setTextVisible(true);
      bar->setFormat("%v");
    }
    // A level gauge draws its bar in its own colour.
    if (m.IsA(K::Gauge) && m.BackColor() != "clWindow") {
      QPalette palette = bar->palette();
      palette.setColor(QPalette::Highlight, ColorFromName(m.BackColor(), bar, true));
      palette.setColor(QPalette::Base, QApplication::palette(bar).color(QPalette::Base));  // the bar, not the trough
      bar->setPalette(palette);
    }
    bar->setValue(m.Position());
  });
}

void BindSlider(TTrislider* slider, TControl& c) {
  auto model = slider->SharedModel();
  auto syncing = std::make_shared<bool>(false);
  Listen(slider, c, [slider, model, syncing](const TControl& m) {
    ApplyLook(slider, m);
    *syncing = true;
    if (!m.Thumbs().empty()) model->SetThumbs(m.Thumbs());
    model->SetLiveValue(m.Position());
    *syncing = false;
    slider->update();
  });
  // Only a drag step is the user's change; the paint's normalisation is not, so the control
  // takes its thumbs quietly.
  const int drag = model->OnDrag.Add([model, &c] { c.DragThumbs(model->Thumbs()); });
  const int change = model->OnChange.Add([model, &c, syncing] {
    if (!*syncing) c.SetThumbs(model->Thumbs());
  });
  QObject::connect(slider, &QObject::destroyed, [model, drag, change] {
    model->OnDrag.Remove(drag);
    model->OnChange.Remove(change);
  });
}

void BindCheckCombo(TCheckedComboBox* box, TControl& c) {
  auto model = box->SharedModel();
  auto syncing = std::make_shared<bool>(false);
  Listen(box, c, [box, model, syncing](const TControl& m) {
    ApplyLook(box, m);
    *syncing = true;
    if (model->Items() != m.Items()) model->SetItems(m.Items());
    for (int i = 0; i < static_cast<int>(m.Items().size()); ++i) model->SetChecked(i, m.ItemChecked(i));
    *syncing = false;
  });
  const int handle = model->OnChange.Add([model, &c, syncing] {
    if (*syncing) return;
    for (int i = 0; i < model->Count(); ++i) c.SetItemChecked(i, model->Checked(i));
  });
  QObject::connect(box, &QObject::destroyed, [model, handle] { model->OnChange.Remove(handle); });
}

void BindGroup(QGroupBox* group, TControl& c) {
  Listen(group, c, [group](const TControl& m) {
    ApplyLook(group, m);
    if (!m.Text().empty()) group->setTitle(ToQt(m.Text()));
  });
}

void BindWidget(QWidget* widget, TControl& c) {
  Listen(widget, c, [widget](const TControl& m) {
    ApplyLook(widget, m);
    if (m.IsA(K::Form)) {
      if (!m.Text().empty()) widget->setWindowTitle(ToQt(m.Text()));
    }
  });
}

}  // namespace

QString ToQt(const std::string& cp1251) { return QString::fromStdString(Cp1251ToUtf8(cp1251)); }
std::string FromQt(const QString& text) { return Utf8ToCp1251(text.toStdString()); }

QColor ColorFromName(const std::string& name, const QWidget* widget, bool background) {
  // The style's own colours of an enabled widget: the widget's palette holds what was set on it
  // before, and its disabled colours while it is disabled, which would stick once it is enabled.
  const QPalette palette = widget ? QApplication::palette(widget) : QApplication::palette();
  const auto system = [&palette](QPalette::ColorRole role) { return palette.color(QPalette::Active, role); };
  const auto color = StringToColor(name);
  if (!color) return background ? system(QPalette::Base) : system(QPalette::WindowText);
  if (*color == clWindowText) return system(QPalette::WindowText);
  if (*color == clWindow) return system(QPalette::Base);
  if (*color == clBtnFace) return system(QPalette::Button);
  const TColor c = *color & 0xFFFFFF;
  return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF), static_cast<int>((c >> 16) & 0xFF));
}

void BindControl(QObject* object, TControl& c) {
  if (auto* action = qobject_cast<QAction*>(object)) return BindAction(action, c);
  auto* w = qobject_cast<QWidget*>(object);
  if (!w) return;
  if (auto* s = qobject_cast<TTrislider*>(w)) return BindSlider(s, c);
  if (auto* b = qobject_cast<TCheckedComboBox*>(w)) return BindCheckCombo(b, c);
  if (auto* e = qobject_cast<QLineEdit*>(w)) return BindLineEdit(e, c);
  if (auto* b = qobject_cast<QComboBox*>(w)) return BindCombo(b, c);
  if (auto* b = qobject_cast<QCheckBox*>(w)) return BindCheck(b, c);
  if (auto* b = qobject_cast<QRadioButton*>(w)) return BindRadio(b, c);
  if (auto* b = qobject_cast<QAbstractButton*>(w)) return BindButton(b, c);
  if (auto* l = qobject_cast<QLabel*>(w)) return BindLabel(l, c);
  if (auto* m = qobject_cast<QPlainTextEdit*>(w)) return BindMemo(m, c);
  if (auto* t = qobject_cast<QTreeWidget*>(w)) return c.IsA(K::ListView) ? BindList(t, c) : BindTree(t, c);
  if (auto* t = qobject_cast<QTableWidget*>(w)) return BindTable(t, c);
  if (auto* s = qobject_cast<QSpinBox*>(w)) return BindSpin(s, c);
  if (auto* s = qobject_cast<QStatusBar*>(w)) return BindStatusBar(s, c);
  if (auto* p = qobject_cast<QProgressBar*>(w)) return BindProgress(p, c);
  if (auto* g = qobject_cast<QGroupBox*>(w)) return c.IsA(K::RadioGroup) ? BindRadioGroup(g, c) : BindGroup(g, c);
  BindWidget(w, c);
}

void BindForm(QWidget* root, TForm& form) {
  BindWidget(root, form.Self());
  for (const auto& control : form.Controls()) {
    QObject* child = root->findChild<QObject*>(QString::fromStdString(control->Name()));
    if (child) BindControl(child, *control);
  }
}

namespace {

// Whether a widget is what a control of this kind is shown with.
bool WidgetFitsKind(const QObject* w, TControlKind kind) {
  switch (kind) {
    case K::Edit:
    case K::MaskEdit: return qobject_cast<const QLineEdit*>(w) != nullptr;
    case K::SpinEdit: return qobject_cast<const QSpinBox*>(w) != nullptr;
    case K::Memo: return qobject_cast<const QPlainTextEdit*>(w) != nullptr;
    case K::CheckBox: return qobject_cast<const QCheckBox*>(w) != nullptr;
    case K::RadioButton: return qobject_cast<const QRadioButton*>(w) != nullptr;
    case K::ComboBox:
    case K::ComboBoxEx: return qobject_cast<const QComboBox*>(w) != nullptr;
    case K::Label:
    case K::LinkLabel: return qobject_cast<const QLabel*>(w) != nullptr;
    case K::GroupBox:
    case K::RadioGroup: return qobject_cast<const QGroupBox*>(w) != nullptr;
    case K::Gauge:
    case K::ProgressBar: return qobject_cast<const QProgressBar*>(w) != nullptr;
    case K::Shape:
    case K::Panel: return qobject_cast<const QFrame*>(w) != nullptr;
    case K::ListView:
    case K::TreeView: return qobject_cast<const QTreeWidget*>(w) != nullptr;
    case K::StringGrid: return qobject_cast<const QTableWidget*>(w) != nullptr;
    case K::Button: return qobject_cast<const QPushButton*>(w) != nullptr;
    case K::ToolButton: return qobject_cast<const QToolButton*>(w) != nullptr;
    case K::Slider: return qobject_cast<const TTrislider*>(w) != nullptr;
    case K::CheckCombo: return qobject_cast<const TCheckedComboBox*>(w) != nullptr;
    default: return false;
  }
}

}  // namespace

std::vector<std::string> ViewMismatches(const QWidget* root, const TForm& form) {
  std::vector<std::string> problems;
  for (const auto& control : form.Controls()) {
    const auto* widget = root->findChild<QWidget*>(QString::fromStdString(control->Name()));
    if (!widget) problems.push_back(control->Name() + ": no widget of this name");
    else if (!WidgetFitsKind(widget, control->Kind())) problems.push_back(control->Name() + ": widget of another kind");
  }
  for (const QWidget* widget : root->findChildren<QWidget*>()) {
    const QString name = widget->objectName();
    // Qt's own parts (viewports, scroll bars, line edits inside combo boxes) are not ours.
    // Names beginning with "view" are the view's own decoration (its title, frames).
    if (name.isEmpty() || name.startsWith("qt_") || name.startsWith("view") || !widget->parentWidget()) continue;
    if (qobject_cast<const QComboBox*>(widget->parentWidget()) || qobject_cast<const TCheckedComboBox*>(widget->parentWidget()))
      continue;
    if (!form.Find(name.toStdString())) problems.push_back(name.toStdString() + ": widget without a control");
  }
  return problems;
}

}  // namespace zorvan
