#pragma once
// The checked combo box on screen: a read-only field, a flat drop-down button and a borderless
// pop-up with a checked list and a context menu. Items, checks and texts live in
// CheckComboModel; this widget shows them and passes the user's checks on.
#include <QColor>
#include <QFrame>
#include <QWidget>
#include <memory>

#include "widgets/CheckComboModel.h"

class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QAction;
class QToolButton;

namespace zorvan {

class CheckComboPopup;

class TCheckedComboBox : public QWidget {
  Q_OBJECT

 public:
  // Without a model the control makes its own; a page may pass the model it keeps.
  explicit TCheckedComboBox(QWidget* parent = nullptr,
                            std::shared_ptr<CheckComboModel> model = nullptr);
  ~TCheckedComboBox() override;

  CheckComboModel& Model() { return *model_; }
  std::shared_ptr<CheckComboModel> SharedModel() const { return model_; }

  QColor NotFocusColor() const { return notFocusColor_; }
  void SetNotFocusColor(const QColor& color);
  // Off: messages are only emitted as message(), not shown in a box.
  void SetShowMessages(bool on) { showMessages_ = on; }

  void OpenPopup();
  void ClosePopup();
  bool PopupOpen() const;

  QLineEdit* Field() const { return field_; }
  QToolButton* Button() const { return button_; }
  QWidget* Popup() const;
  QListWidget* List() const;
  QAction* SelectAllAction() const;
  QAction* DeSelectAllAction() const;

  QSize sizeHint() const override;

 signals:
  void changed();
  void closedUp();
  void entered();
  void exited();
  void message(const QString& text);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ButtonClicked();
  void RefreshList();
  void RefreshChecks();
  void RefreshText();
  void UpdateFieldColour();
  void ListItemChanged(QListWidgetItem* item);

  std::shared_ptr<CheckComboModel> model_;
  QLineEdit* field_ = nullptr;
  QToolButton* button_ = nullptr;
  CheckComboPopup* popup_ = nullptr;
  QColor notFocusColor_ = Qt::white;
  bool showMessages_ = true;
  bool syncing_ = false;
  int changeHandle_ = 0, itemsHandle_ = 0, displayHandle_ = 0, messageHandle_ = 0;
};

// The pop-up window. A press on the control's drop-down button while it is open only closes it.
class CheckComboPopup : public QFrame {
  Q_OBJECT

 public:
  explicit CheckComboPopup(TCheckedComboBox* owner);
  QListWidget* List() const { return list_; }
  QMenu* Menu() const { return menu_; }
  QAction* SelectAll() const { return selectAll_; }
  QAction* DeSelectAll() const { return deSelectAll_; }

 signals:
  void closed();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  TCheckedComboBox* owner_;
  QListWidget* list_;
  QMenu* menu_;
  QAction* selectAll_;
  QAction* deSelectAll_;
};

}  // namespace zorvan
