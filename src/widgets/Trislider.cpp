#include "widgets/Trislider.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>

namespace zorvan {
namespace {

QColor MergedWithBlue(const QColor& c) {
  return QColor((c.red() + 0) / 2, (c.green() + 0) / 2, (c.blue() + 255) / 2);
}

}  // namespace

TTrislider::TTrislider(QWidget* parent, std::shared_ptr<TrisliderModel> model)
    : QWidget(parent), model_(model ? std::move(model) : std::make_shared<TrisliderModel>()) {
  // Pages hook every mouse move, not only drags.
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  resize(sizeHint());
  SyncSize();
  timer_.setInterval(kTimerInterval);
  connect(&timer_, &QTimer::timeout, this, &TTrislider::RepaintTick);
  timer_.start();
}

QSize TTrislider::sizeHint() const { return {185, 41}; }

void TTrislider::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  SyncSize();
}

bool TTrislider::SetInset(int inset) {
  SyncSize();
  return model_->SetInset(inset);
}

QPoint TTrislider::PicturePoint(const QPointF& controlPoint) {
  SyncSize();
  const QPoint p = controlPoint.toPoint();
  return {p.x() - TrisliderModel::kBorder, p.y() - TrisliderModel::kBorder};
}

void TTrislider::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
  const QPoint p = PicturePoint(event->position());
  model_->Press(p.x(), p.y());
}

void TTrislider::mouseMoveEvent(QMouseEvent* event) {
  const QPoint p = PicturePoint(event->position());
  model_->Move(p.x(), p.y());
}

void TTrislider::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) model_->Release();
}

void TTrislider::RepaintTick() {
  if (painting_) return;
  painting_ = true;
  SyncSize();
  // A failing paint must not take the page down; the next tick tries again.
  try {
    model_->Tick();
    DrawPicture();
  } catch (...) {
  }
  painting_ = false;
  update();
}

void TTrislider::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setPen(palette().color(QPalette::Mid));
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
  if (picture_.isNull()) {
    SyncSize();
    DrawPicture();
  }
  painter.drawPixmap(TrisliderModel::kBorder, TrisliderModel::kBorder, picture_);
}

// Everything is drawn in axis coordinates (along, across) as for the horizontal form; the
// vertical form turns the painter so that values grow upwards.
void TTrislider::DrawPicture() {
  const TrisliderModel& m = *model_;
  const int pw = m.PictureWidth(), ph = m.PictureHeight();
  if (picture_.size() != QSize(pw, ph)) picture_ = QPixmap(pw, ph);

  const QPalette& pal = palette();
  const QColor face = pal.color(QPalette::Button);
  // The classic button shadow grey: Mid is too pale to outline a thumb on the face colour.
  const QColor grey = pal.color(QPalette::Dark);
  const QColor text = pal.color(QPalette::WindowText);
  const TrisliderGeometry g = m.Geometry();
  const int along = g.axisLength, across = g.crossLength, inset = g.inset;

  QPainter p(&picture_);
  p.fillRect(0, 0, pw, ph, face);
  QTransform toPicture;
  if (m.Vertical()) toPicture = QTransform(0, -1, 1, 0, 0, ph);  // (a, c) -> (c, ph - a)
  p.setTransform(toPicture);

  // Track with a sunken edge.
  const int trackTop = (across - m.TrackHeight()) / 2;
  const QRect track(QPoint(inset, trackTop), QPoint(along - inset, trackTop + m.TrackHeight()));
  p.fillRect(track, Qt::white);
  p.setPen(grey);
  p.drawLine(track.topLeft(), track.topRight());
  p.drawLine(track.topLeft(), track.bottomLeft());
  p.setPen(Qt::white);
  p.drawLine(track.bottomLeft(), track.bottomRight());
  p.drawLine(track.topRight(), track.bottomRight());

  const int tip = across - inset;
  if (m.ShowScale()) {
    p.setPen(text);
    for (const TrisliderMark& mark : m.ScaleMarks())
      p.drawLine(mark.pixel, tip, mark.pixel, tip + (mark.isLong ? 7 : 3));
  }

  // Live marker: the track filled from its left end up to the live value.
  const int live = std::clamp(m.PixelOfValue(m.LiveValue()), inset, along - inset);
  if (live > inset)
    p.fillRect(QRect(QPoint(inset + 1, trackTop + 1), QPoint(live, trackTop + m.TrackHeight() - 1)),
               pal.color(QPalette::Highlight));

  auto drawThumb = [&](int index, bool active) {
    const int centre = m.ThumbPixel(index);
    const int left = centre - m.ThumbWidth() / 2;
    const int right = left + m.ThumbWidth();
    const int neck = tip - TrisliderModel::kTipLength;
    const QPolygon shape({QPoint(left, inset), QPoint(right, inset), QPoint(right, neck),
                          QPoint(centre, tip), QPoint(left, neck)});
    p.setPen(Qt::NoPen);
    p.setBrush(active && m.HighlightActive() ? MergedWithBlue(face) : face);
    p.drawPolygon(shape);
    p.setBrush(Qt::NoBrush);
    p.setPen(Qt::white);
    p.drawLine(left, inset, right, inset);
    p.drawLine(left, inset, left, neck);
    p.drawLine(left, neck, centre, tip);
    p.setPen(grey);
    p.drawLine(right, inset, right, neck);
    p.drawLine(right, neck, centre, tip);
  };
  for (int i = 0; i < m.ThumbCount(); ++i)
    if (i != m.ActiveThumb()) drawThumb(i, false);
  drawThumb(m.ActiveThumb(), true);

  if (m.ValueBoxShown()) {
    QFont small = font();
    small.setPointSizeF(std::max(6.0, small.pointSizeF() * 0.8));
    p.setFont(small);
    const QString value = QString::number(m.Thumb(m.ActiveThumb()));
    const QFontMetrics fm(small);
    const QSize box(fm.horizontalAdvance(value) + 6, fm.height() + 2);
    // The box sits just above the track, upright in either form.
    const QPoint centreOnAxis(m.ThumbPixel(m.ActiveThumb()), trackTop - 1 - box.height() / 2);
    const QPoint centre = toPicture.map(centreOnAxis);
    p.resetTransform();
    const QRect boxRect(centre - QPoint(box.width() / 2, box.height() / 2), box);
    p.fillRect(boxRect, pal.color(QPalette::ToolTipBase));
    p.setPen(pal.color(QPalette::ToolTipText));
    p.drawRect(boxRect.adjusted(0, 0, -1, -1));
    p.drawText(boxRect, Qt::AlignCenter, value);
  }
}

}  // namespace zorvan
