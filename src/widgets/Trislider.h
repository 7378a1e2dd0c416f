#pragma once
// The multi-thumb slider on screen. All rules live in TrisliderModel; this widget keeps the
// model's size, forwards the mouse, and on its 100 ms timer draws the model into an off-screen
// picture that it copies onto itself in one step.
#include <QPixmap>
#include <QTimer>
#include <QWidget>
#include <memory>

#include "widgets/TrisliderModel.h"

namespace zorvan {

class TTrislider : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kTimerInterval = 100;  // ms

  // Without a model the slider makes its own; a page may pass the model it keeps.
  explicit TTrislider(QWidget* parent = nullptr, std::shared_ptr<TrisliderModel> model = nullptr);

  TrisliderModel& Model() { return *model_; }
  const TrisliderModel& Model() const { return *model_; }
  std::shared_ptr<TrisliderModel> SharedModel() const { return model_; }
  QTimer& Timer() { return timer_; }
  const QPixmap& Picture() const { return picture_; }

  // One timer tick: normalise, draw the picture, copy it onto the control.
  void RepaintTick();
  // Inset is checked against the control's size, which a hidden widget learns late.
  bool SetInset(int inset);

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  QPoint PicturePoint(const QPointF& controlPoint);
  void SyncSize() { model_->SetControlSize(width(), height()); }
  void DrawPicture();

  std::shared_ptr<TrisliderModel> model_;
  QTimer timer_;
  QPixmap picture_;
  bool painting_ = false;
};

}  // namespace zorvan
