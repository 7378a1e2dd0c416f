#include "ui/Binder.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
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
  if (c.BackColor() != "clWindow") palette.setColor(QPalette::Base, ColorFromName(c.BackColor(), w, true));
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
      refocusing_ = true;
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

void BindCombo(QComboBox* box, TControl& c) {
  InstallKeyFilter(box, c);
  WatchExit(box, c);
  Listen(box, c, [box](const TControl& m) {
    ApplyLook(box, m);
    const QSignalBlocker block(box);
    QStringList items;
    for (const auto& i : m.Items()) items << ToQt(i);
    QStringList shown;
    for (int i = 0; i < box->count(); ++i) shown << box->itemText(i);
    if (items != shown) {
      box->clear();
      box->addItems(items);
    }
    box->setCurrentIndex(m.ItemIndex());
    if (box->isEditable() || m.ItemIndex() < 0) box->setEditText(ToQt(m.Text()));
  });
  QObject::connect(box, &QComboBox::activated, [&c](int index) {
    c.SetItemIndex(index);
    c.Changed();
  });
  if (box->isEditable())
    QObject::connect(box, &QComboBox::editTextChanged, [&c](const QString& t) { c.SetText(FromQt(t)); });
}

void BindCheck(QAbstractButton* button, TControl& c) {
  Listen(button, c, [button](const TControl& m) {
    ApplyLook(button, m);
    const QSignalBlocker block(button);
    button->setChecked(m.Checked());
    if (!m.Text().empty() || button->text().isEmpty()) button->setText(ToQt(m.Text()));
  });
  QObject::connect(button, &QAbstractButton::clicked, [&c](bool checked) {
    c.SetChecked(checked);
    c.Click();
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

void BindMemo(QPlainTextEdit* memo, TControl& c) {
  auto shown = std::make_shared<std::size_t>(0);
  Listen(memo, c, [memo, shown](const TControl& m) {
    ApplyLook(memo, m);
    const auto& lines = m.Lines();
    if (lines.size() < *shown) {
      memo->clear();
      *shown = 0;
    }
    for (; *shown < lines.size(); ++*shown) memo->appendPlainText(ToQt(lines[*shown]));
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

// List views and grids: rows of texts, the first row of a list view being its caption column.
void BindTable(QTableWidget* table, TControl& c) {
  Listen(table, c, [table](const TControl& m) {
    ApplyLook(table, m);
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
  });
}

void BindList(QTreeWidget* list, TControl& c) {
  Listen(list, c, [list](const TControl& m) {
    ApplyLook(list, m);
    const auto& rows = m.Rows();
    if (list->topLevelItemCount() > static_cast<int>(rows.size())) list->clear();
    for (int r = list->topLevelItemCount(); r < static_cast<int>(rows.size()); ++r) {
      QStringList texts;
      for (const auto& t : rows[static_cast<std::size_t>(r)]) texts << ToQt(t);
      list->addTopLevelItem(new QTreeWidgetItem(texts));
    }
  });
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
  // A drag moves the thumbs in the widget's model; the control follows.
  const int handle = model->OnChange.Add([model, &c, syncing] {
    if (*syncing) return;
    const std::vector<int>& thumbs = model->Thumbs();
    for (int i = 0; i < static_cast<int>(thumbs.size()); ++i) {
      if (i >= static_cast<int>(c.Thumbs().size())) {
        c.SetThumbs(thumbs);
        c.Changed();
        return;
      }
      c.SetThumb(i, thumbs[static_cast<std::size_t>(i)]);
    }
  });
  QObject::connect(slider, &QObject::destroyed, [model, handle] { model->OnChange.Remove(handle); });
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
  const QPalette palette = widget ? widget->palette() : QPalette();
  const auto color = StringToColor(name);
  if (!color) return background ? palette.color(QPalette::Base) : palette.color(QPalette::WindowText);
  if (*color == clWindowText) return palette.color(QPalette::WindowText);
  if (*color == clWindow) return palette.color(QPalette::Base);
  if (*color == clBtnFace) return palette.color(QPalette::Button);
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
  if (auto* b = qobject_cast<QRadioButton*>(w)) return BindCheck(b, c);
  if (auto* b = qobject_cast<QAbstractButton*>(w)) return BindButton(b, c);
  if (auto* l = qobject_cast<QLabel*>(w)) return BindLabel(l, c);
  if (auto* m = qobject_cast<QPlainTextEdit*>(w)) return BindMemo(m, c);
  if (auto* t = qobject_cast<QTreeWidget*>(w)) return c.IsA(K::ListView) ? BindList(t, c) : BindTree(t, c);
  if (auto* t = qobject_cast<QTableWidget*>(w)) return BindTable(t, c);
  if (auto* s = qobject_cast<QSpinBox*>(w)) return BindSpin(s, c);
  if (auto* s = qobject_cast<QStatusBar*>(w)) return BindStatusBar(s, c);
  if (auto* p = qobject_cast<QProgressBar*>(w)) return BindProgress(p, c);
  if (auto* g = qobject_cast<QGroupBox*>(w)) return BindGroup(g, c);
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
