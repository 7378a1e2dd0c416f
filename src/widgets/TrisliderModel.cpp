#include "widgets/TrisliderModel.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>

namespace zorvan {
namespace {

// Thumb values are set from outside unchecked; arithmetic on them must not overflow.
int Saturate(long long v) {
  return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
}

int RoundToInt(double v) {
  if (!(v == v)) return 0;
  return Saturate(std::llround(std::clamp(v, double(INT_MIN), double(INT_MAX))));
}

}  // namespace

int SnapToStep(int value, int step) {
  const long long s = step == 0 ? 1 : std::llabs(static_cast<long long>(step));
  const long long v = value;
  // Nearest multiple, halves away from zero.
  const long long q = (v >= 0 ? v + s / 2 : v - s / 2) / s;
  return Saturate(q * s);
}

double TrisliderUnit(int axisLength, int inset, int min, int max) {
  const long long span = std::max<long long>(1, static_cast<long long>(axisLength) - 2LL * inset);
  const long long range = std::max<long long>(1, static_cast<long long>(max) - min);
  return static_cast<double>(span) / static_cast<double>(range);
}

int TrisliderSpacing(int thumbWidth, double unit) {
  if (unit <= 0) return 0;
  return RoundToInt(thumbWidth / unit);
}

void PushThumbsDown(std::vector<int>& thumbs, int step, int spacing) {
  for (std::size_t i = thumbs.size(); i-- > 1;) {
    thumbs[i] = SnapToStep(thumbs[i], step);
    if (static_cast<long long>(thumbs[i]) - thumbs[i - 1] < spacing)
      thumbs[i - 1] = Saturate(static_cast<long long>(thumbs[i]) - spacing);
  }
}

void PushThumbsUp(std::vector<int>& thumbs, int step, int spacing) {
  for (std::size_t i = 0; i + 1 < thumbs.size(); ++i) {
    thumbs[i] = SnapToStep(thumbs[i], step);
    if (static_cast<long long>(thumbs[i + 1]) - thumbs[i] < spacing)
      thumbs[i + 1] = Saturate(static_cast<long long>(thumbs[i]) + spacing);
  }
}

void NormaliseThumbs(std::vector<int>& thumbs, int min, int step, int spacing) {
  if (thumbs.empty()) return;
  if (thumbs.size() >= 2) PushThumbsDown(thumbs, step, spacing);
  thumbs[0] = std::max(thumbs[0], min);
  PushThumbsUp(thumbs, step, spacing);
}

TrisliderModel::TrisliderModel() = default;

template <class F>
void TrisliderModel::Changing(F&& change) {
  const std::vector<int> thumbsBefore = thumbs_;
  const int liveBefore = liveValue_;
  change();
  if (thumbs_ != thumbsBefore || liveValue_ != liveBefore) OnChange();
}

void TrisliderModel::SetThumbCount(int count) {
  if (count <= 0 || count == ThumbCount()) return;
  Changing([&] {
    thumbs_.resize(static_cast<std::size_t>(count), thumbs_.back());
    activeThumb_ = std::min(activeThumb_, count - 1);
  });
}

void TrisliderModel::SetThumbs(std::vector<int> thumbs) {
  if (thumbs.empty()) return;
  Changing([&] {
    thumbs_ = std::move(thumbs);
    activeThumb_ = std::min(activeThumb_, ThumbCount() - 1);
  });
}

int TrisliderModel::Thumb(int index) const {
  if (index < 0 || index >= ThumbCount()) return 0;
  return thumbs_[static_cast<std::size_t>(index)];
}

void TrisliderModel::SetThumb(int index, int value) {
  if (index < 0 || index >= ThumbCount()) return;
  Changing([&] { thumbs_[static_cast<std::size_t>(index)] = value; });
}

void TrisliderModel::SetMin(int value) {
  Changing([&] {
    min_ = value;
    if (max_ < min_) std::swap(min_, max_);
    liveValue_ = std::clamp(liveValue_, min_, max_);
  });
}

void TrisliderModel::SetMax(int value) {
  Changing([&] {
    max_ = value;
    if (max_ < min_) std::swap(min_, max_);
    liveValue_ = std::clamp(liveValue_, min_, max_);
  });
}

void TrisliderModel::SetThumbWidth(int value) {
  if (value >= 0) thumbWidth_ = value;
}

bool TrisliderModel::SetInset(int value) {
  if (value < 0 || value >= controlHeight_ || value >= controlWidth_ - inset_ / 2.0) return false;
  inset_ = value;
  return true;
}

void TrisliderModel::SetTrackHeight(int value) {
  if (value >= 0) trackHeight_ = value;
}

void TrisliderModel::SetLiveValue(int value) {
  Changing([&] { liveValue_ = std::clamp(value, min_, max_); });
}

void TrisliderModel::SetActiveThumb(int index) {
  if (index >= 0 && index < ThumbCount()) activeThumb_ = index;
}

void TrisliderModel::SetValueTicks(int count) {
  if (count >= 0) valueTicks_ = count;
}

void TrisliderModel::SetControlSize(int width, int height) {
  controlWidth_ = std::max(0, width);
  controlHeight_ = std::max(0, height);
}

int TrisliderModel::PictureWidth() const {
  return std::max(kMinPicture, controlWidth_ - 2 * kBorder);
}

int TrisliderModel::PictureHeight() const {
  return std::max(kMinPicture, controlHeight_ - 2 * kBorder);
}

TrisliderGeometry TrisliderModel::Geometry() const {
  TrisliderGeometry g;
  g.axisLength = vertical_ ? PictureHeight() : PictureWidth();
  g.crossLength = vertical_ ? PictureWidth() : PictureHeight();
  g.inset = std::clamp(inset_, 0, std::min(PictureWidth(), PictureHeight()) / 2);
  g.unit = TrisliderUnit(g.axisLength, g.inset, min_, max_);
  g.spacing = TrisliderSpacing(thumbWidth_, g.unit);
  return g;
}

// Values are measured from Min, so a range that does not start at 0 still fills the track.
int TrisliderModel::PixelOfValue(int value) const {
  const TrisliderGeometry g = Geometry();
  return Saturate(static_cast<long long>(RoundToInt((static_cast<double>(value) - min_) * g.unit)) + g.inset);
}

int TrisliderModel::ValueAtPixel(int pixel) const {
  const TrisliderGeometry g = Geometry();
  return Saturate(static_cast<long long>(RoundToInt((pixel - g.inset) / g.unit)) + min_);
}

std::vector<TrisliderMark> TrisliderModel::ScaleMarks() const {
  std::vector<TrisliderMark> marks;
  const TrisliderGeometry g = Geometry();
  if (markStep_ <= 0 || markStep_ * g.unit < 1.0) return marks;
  int index = 0;
  for (long long v = min_; v <= max_; v += markStep_, ++index)
    marks.push_back({PixelOfValue(static_cast<int>(v)), index % 5 == 0});
  return marks;
}

int TrisliderModel::AxisCoordinate(int x, int y) const {
  return vertical_ ? PictureHeight() - y : x;
}

int TrisliderModel::CrossCoordinate(int x, int y) const {
  return vertical_ ? x : y;
}

// The first thumb wins a tie.
int TrisliderModel::NearestThumb(int axisPixel) const {
  int best = 0;
  long long bestDistance = -1;
  for (int i = 0; i < ThumbCount(); ++i) {
    const long long d = std::llabs(static_cast<long long>(ThumbPixel(i)) - axisPixel);
    if (bestDistance < 0 || d < bestDistance) {
      best = i;
      bestDistance = d;
    }
  }
  return best;
}

void TrisliderModel::Press(int x, int y) {
  dragging_ = false;
  const TrisliderGeometry g = Geometry();
  const int a = AxisCoordinate(x, y);
  const int c = CrossCoordinate(x, y);
  const double half = thumbWidth_ / 2.0;
  if (a < g.inset - half || a > g.axisLength - g.inset + half) return;
  if (c < g.inset || c > g.crossLength - g.inset) return;
  // Direction of the first move is measured from the press, not from an older drag.
  lastAxis_ = a;
  activeThumb_ = NearestThumb(a);
  if (vertical_ || !grabOnly_) dragging_ = true;
  if (vertical_ || std::abs(a - ThumbPixel(activeThumb_)) <= half + kGrabMargin) {
    dragging_ = true;
    ticksSinceChange_ = 0;
  }
}

void TrisliderModel::Move(int x, int y) {
  if (dragging_) {
    const std::vector<int> before = thumbs_;
    Changing([&] {
      const int a = AxisCoordinate(x, y);
      const int spacing = Geometry().spacing;
      ticksSinceChange_ = 0;
      thumbs_[static_cast<std::size_t>(activeThumb_)] = ValueAtPixel(a);
      thumbs_[0] = SnapToStep(thumbs_[0], step_);
      if (a < lastAxis_) {
        thumbs_.back() = std::min(thumbs_.back(), max_);
        PushThumbsDown(thumbs_, step_, spacing);
        thumbs_[0] = std::max(thumbs_[0], min_);
        PushThumbsUp(thumbs_, step_, spacing);
      } else {
        thumbs_[0] = std::max(thumbs_[0], min_);
        PushThumbsUp(thumbs_, step_, spacing);
        thumbs_.back() = std::min(thumbs_.back(), max_);
        PushThumbsDown(thumbs_, step_, spacing);
      }
      lastAxis_ = a;
      if (thumbs_ != before) OnDrag();
    });
  }
  OnMouseMove();
}

void TrisliderModel::Tick() {
  Normalise();
  if (ticksSinceChange_ < kNeverChanged) ++ticksSinceChange_;
}

void TrisliderModel::Normalise() {
  Changing([&] { NormaliseThumbs(thumbs_, min_, step_, Geometry().spacing); });
}

}  // namespace zorvan
