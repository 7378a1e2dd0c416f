#include "widgets/CheckCombo.h"

#include <QAction>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QScreen>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "base/Cp1251.h"

namespace zorvan {
namespace {

QString FromCp1251(const std::string& s) { return QString::fromStdString(Cp1251ToUtf8(s)); }

// A click anywhere on a row toggles its check, not only on the small box.
class RowToggleDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override {
    const Qt::ItemFlags flags = model->flags(index);
    const bool checkable = (flags & Qt::ItemIsUserCheckable) && (flags & Qt::ItemIsEnabled);
    if (checkable && (event->type() == QEvent::MouseButtonRelease ||
                      event->type() == QEvent::MouseButtonDblClick)) {
      auto* mouse = static_cast<QMouseEvent*>(event);
      if (mouse->button() != Qt::LeftButton || !option.rect.contains(mouse->position().toPoint()))
        return false;
      if (event->type() == QEvent::MouseButtonDblClick) return true;
      const bool on = index.data(Qt::CheckStateRole).toInt() == Qt::Checked;
      return model->setData(index, on ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
    }
    return QStyledItemDelegate::editorEvent(event, model, option, index);
  }
};

}  // namespace

CheckComboPopup::CheckComboPopup(TCheckedComboBox* owner)
    : QFrame(owner, Qt::Popup | Qt::FramelessWindowHint),
      owner_(owner),
      list_(new QListWidget(this)),
      menu_(new QMenu(this)),
      selectAll_(menu_->addAction(QString())),
      deSelectAll_(menu_->addAction(QString())) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(list_);
  list_->setItemDelegate(new RowToggleDelegate(list_));
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(list_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    selectAll_->setText(FromCp1251(owner_->Model().CapSelectAll()));
    deSelectAll_->setText(FromCp1251(owner_->Model().CapDeSelectAll()));
    menu_->popup(list_->viewport()->mapToGlobal(at));
  });
  connect(selectAll_, &QAction::triggered, this, [this] { owner_->Model().SelectAll(); });
  connect(deSelectAll_, &QAction::triggered, this, [this] { owner_->Model().DeselectAll(); });
}

void CheckComboPopup::mousePressEvent(QMouseEvent* event) {
  // Without this the press that closes the pop-up would reach the button and reopen it.
  QToolButton* button = owner_->Button();
  const QPoint onButton = button->mapFromGlobal(event->globalPosition().toPoint());
  if (!rect().contains(event->position().toPoint()) && button->rect().contains(onButton))
    setAttribute(Qt::WA_NoMouseReplay);
  QFrame::mousePressEvent(event);
}

void CheckComboPopup::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    hide();
    return;
  }
  QFrame::keyPressEvent(event);
}

void CheckComboPopup::hideEvent(QHideEvent* event) {
  QFrame::hideEvent(event);
  emit closed();
}

TCheckedComboBox::TCheckedComboBox(QWidget* parent, std::shared_ptr<CheckComboModel> model)
    : QWidget(parent), model_(model ? std::move(model) : std::make_shared<CheckComboModel>()) {
  field_ = new QLineEdit(this);
  field_->setReadOnly(true);
  field_->installEventFilter(this);
  button_ = new QToolButton(this);
  button_->setAutoRaise(true);
  button_->setArrowType(Qt::DownArrow);
  button_->setFocusPolicy(Qt::NoFocus);
  button_->setFixedWidth(style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 4);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(field_, 1);
  layout->addWidget(button_);
  setFocusProxy(field_);

  popup_ = new CheckComboPopup(this);
  popup_->List()->installEventFilter(this);
  connect(button_, &QToolButton::clicked, this, &TCheckedComboBox::ButtonClicked);
  connect(popup_, &CheckComboPopup::closed, this, [this] {
    UpdateFieldColour();
    emit closedUp();
  });
  connect(popup_->List(), &QListWidget::itemChanged, this, &TCheckedComboBox::ListItemChanged);

  changeHandle_ = model_->OnChange.Add([this] {
    RefreshChecks();
    RefreshText();
    emit changed();
  });
  itemsHandle_ = model_->OnItemsChanged.Add([this] { RefreshList(); });
  displayHandle_ = model_->OnDisplayChanged.Add([this] { RefreshText(); });
  messageHandle_ = model_->OnMessage.Add([this](const std::string& text) {
    const QString shown = FromCp1251(text);
    emit message(shown);
    // Shown after the check that caused it has finished, not from inside the model.
    if (showMessages_)
      QTimer::singleShot(0, this, [this, shown] { QMessageBox::warning(this, QString(), shown); });
  });

  RefreshList();
  RefreshText();
  UpdateFieldColour();
}

TCheckedComboBox::~TCheckedComboBox() {
  model_->OnChange.Remove(changeHandle_);
  model_->OnItemsChanged.Remove(itemsHandle_);
  model_->OnDisplayChanged.Remove(displayHandle_);
  model_->OnMessage.Remove(messageHandle_);
}

QWidget* TCheckedComboBox::Popup() const { return popup_; }
QListWidget* TCheckedComboBox::List() const { return popup_->List(); }
QAction* TCheckedComboBox::SelectAllAction() const { return popup_->SelectAll(); }
QAction* TCheckedComboBox::DeSelectAllAction() const { return popup_->DeSelectAll(); }

QSize TCheckedComboBox::sizeHint() const {
  return {145, field_->sizeHint().height()};
}

void TCheckedComboBox::SetNotFocusColor(const QColor& color) {
  notFocusColor_ = color;
  UpdateFieldColour();
}

bool TCheckedComboBox::PopupOpen() const { return popup_->isVisible(); }

void TCheckedComboBox::ButtonClicked() {
  if (PopupOpen())
    ClosePopup();
  else
    OpenPopup();
}

void TCheckedComboBox::OpenPopup() {
  if (!isEnabled() || PopupOpen()) return;
  QListWidget* list = popup_->List();
  popup_->setFont(font());
  list->setFont(font());
  const int itemHeight =
      list->count() > 0 ? list->sizeHintForRow(0) : QFontMetrics(font()).height() + 4;
  const QPoint origin = mapToGlobal(QPoint(0, 0));
  const QRect screenArea = screen()->availableGeometry();
  const PopupPlacement place =
      PlaceCheckComboPopup(origin.x(), origin.y(), width(), height(), itemHeight,
                           model_->PopupLines(), screenArea.top(), screenArea.bottom() + 1);
  if (model_->Columns() > 1) {
    list->setFlow(QListView::TopToBottom);
    list->setWrapping(true);
    list->setGridSize(QSize(std::max(1, place.width / model_->Columns() - 2), itemHeight));
  } else {
    list->setWrapping(false);
    list->setGridSize(QSize());
  }
  popup_->setGeometry(place.x, place.y, place.width, place.height);
  popup_->show();
  if (list->currentRow() < 0 && list->count() > 0) list->setCurrentRow(0);
  list->setFocus(Qt::PopupFocusReason);
}

void TCheckedComboBox::ClosePopup() { popup_->hide(); }

void TCheckedComboBox::RefreshList() {
  QListWidget* list = popup_->List();
  syncing_ = true;
  list->clear();
  for (const std::string& text : model_->Items()) {
    auto* item = new QListWidgetItem(FromCp1251(text), list);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Unchecked);
  }
  syncing_ = false;
  RefreshChecks();
  RefreshText();
}

void TCheckedComboBox::RefreshChecks() {
  QListWidget* list = popup_->List();
  syncing_ = true;
  for (int i = 0; i < list->count(); ++i)
    list->item(i)->setCheckState(model_->Checked(i) ? Qt::Checked : Qt::Unchecked);
  syncing_ = false;
}

void TCheckedComboBox::RefreshText() {
  field_->setText(FromCp1251(model_->ShownText()));
  field_->setCursorPosition(0);
  const QString hint = FromCp1251(model_->Hint());
  setToolTip(hint);
  field_->setToolTip(hint);
}

void TCheckedComboBox::ListItemChanged(QListWidgetItem* item) {
  if (syncing_) return;
  const int row = popup_->List()->row(item);
  model_->SetChecked(row, item->checkState() == Qt::Checked);
  // A refused check must not stay ticked in the list.
  RefreshChecks();
}

void TCheckedComboBox::UpdateFieldColour() {
  QPalette pal = field_->palette();
  pal.setColor(QPalette::Base, field_->hasFocus() || PopupOpen() ? QColor(Qt::white)
                                                                 : notFocusColor_);
  field_->setPalette(pal);
}

bool TCheckedComboBox::eventFilter(QObject* watched, QEvent* event) {
  if (watched == field_) {
    if (event->type() == QEvent::FocusIn) {
      UpdateFieldColour();
      if (static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) emit entered();
    } else if (event->type() == QEvent::FocusOut) {
      UpdateFieldColour();
      if (static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) emit exited();
    } else if (event->type() == QEvent::KeyPress) {
      auto* key = static_cast<QKeyEvent*>(event);
      if (key->key() == Qt::Key_F4 ||
          (key->key() == Qt::Key_Down && (key->modifiers() & Qt::AltModifier))) {
        OpenPopup();
        return true;
      }
    }
  } else if (watched == popup_->List() && event->type() == QEvent::KeyPress) {
    if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
      ClosePopup();
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace zorvan
