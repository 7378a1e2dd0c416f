#pragma once
// The multi-thumb slider without a display: thumbs, range, live marker, the drag rules and the
// drawing geometry. TTrislider paints it and forwards the mouse; pages and the command-line
// tool use it directly.
#include <vector>

#include "widgets/Listeners.h"

namespace zorvan {

// Thumbs snap to the nearest multiple of step (0 counts as 1).
int SnapToStep(int value, int step);

// Pixels per value unit over a drawing of axisLength pixels with inset margins at both ends.
// A degenerate range or drawing counts as one unit / one pixel, so nothing divides by zero.
double TrisliderUnit(int axisLength, int inset, int min, int max);

// The smallest distance between neighbouring thumbs in value units.
int TrisliderSpacing(int thumbWidth, double unit);

// The two halves of the normalisation. Down: from the last thumb to the second, snap it and
// push its left neighbour to at least spacing below. Up: from the first thumb to the one before
// the last, snap it and push its right neighbour to at least spacing above.
void PushThumbsDown(std::vector<int>& thumbs, int step, int spacing);
void PushThumbsUp(std::vector<int>& thumbs, int step, int spacing);

// Ascending order with the spacing, the first thumb not below min (the last one may end above
// max: only a drag clamps it there).
void NormaliseThumbs(std::vector<int>& thumbs, int min, int step, int spacing);

struct TrisliderMark {
  int pixel;
  bool isLong;  // every fifth mark
};

// Picture geometry along and across the slider's axis. The axis runs left to right in the
// horizontal form and bottom to top in the vertical one.
struct TrisliderGeometry {
  int axisLength = 0;   // picture extent along the axis
  int crossLength = 0;  // picture extent across it
  int inset = 0;        // Inset as drawn: at most half the picture's shorter side
  double unit = 1;      // pixels per value unit
  int spacing = 0;      // smallest thumb distance in value units
};

class TrisliderModel {
 public:
  static constexpr int kBorder = 1;        // the picture sits inside a 1-pixel border
  static constexpr int kMinPicture = 10;   // smallest picture side
  static constexpr int kGrabMargin = 2;    // pixels beyond half a thumb that still grab it
  static constexpr int kTipLength = 5;     // the last pixels of a thumb narrow to its tip

  TrisliderModel();

  // Thumbs. Set values are not checked; the next Tick (paint) or drag normalises them.
  int ThumbCount() const { return static_cast<int>(thumbs_.size()); }
  void SetThumbCount(int count);  // 0 or less is ignored; new thumbs start at the last one
  const std::vector<int>& Thumbs() const { return thumbs_; }
  void SetThumbs(std::vector<int> thumbs);  // an empty list is ignored
  int Thumb(int index) const;               // 0 for an index beyond the list
  void SetThumb(int index, int value);      // no effect for an index beyond the list

  int Min() const { return min_; }
  int Max() const { return max_; }
  void SetMin(int value);  // min and max are swapped when max ends below min
  void SetMax(int value);
  int Step() const { return step_; }
  void SetStep(int value) { step_ = value; }
  int MarkStep() const { return markStep_; }
  void SetMarkStep(int value) { markStep_ = value; }
  int ThumbWidth() const { return thumbWidth_; }
  void SetThumbWidth(int value);
  int Inset() const { return inset_; }
  // Accepted only below the control's height and below its width minus half the current inset.
  bool SetInset(int value);
  int TrackHeight() const { return trackHeight_; }
  void SetTrackHeight(int value);
  int LiveValue() const { return liveValue_; }
  void SetLiveValue(int value);  // kept within Min..Max
  int ActiveThumb() const { return activeThumb_; }
  void SetActiveThumb(int index);  // no effect for an index beyond the list
  bool Dragging() const { return dragging_; }
  bool ShowScale() const { return showScale_; }
  void SetShowScale(bool on) { showScale_ = on; }
  bool GrabOnly() const { return grabOnly_; }
  void SetGrabOnly(bool on) { grabOnly_ = on; }
  bool ShowValue() const { return showValue_; }
  void SetShowValue(bool on) { showValue_ = on; }
  int ValueTicks() const { return valueTicks_; }
  void SetValueTicks(int count);
  bool Vertical() const { return vertical_; }
  void SetVertical(bool on) { vertical_ = on; }
  bool HighlightActive() const { return highlightActive_; }
  void SetHighlightActive(bool on) { highlightActive_ = on; }

  // The control's size in pixels; the widget keeps it up to date.
  void SetControlSize(int width, int height);
  int ControlWidth() const { return controlWidth_; }
  int ControlHeight() const { return controlHeight_; }
  int PictureWidth() const;
  int PictureHeight() const;

  TrisliderGeometry Geometry() const;
  // Along-axis picture pixel of a value (from the left, or from the bottom when vertical).
  int PixelOfValue(int value) const;
  int ThumbPixel(int index) const { return PixelOfValue(Thumb(index)); }
  int ValueAtPixel(int pixel) const;
  // Scale marks from Min up to Max; none when MarkStep is not positive or marks would be
  // closer than a pixel.
  std::vector<TrisliderMark> ScaleMarks() const;

  // Mouse handlers in picture coordinates (the widget removes the border).
  void Press(int x, int y);
  void Move(int x, int y);
  void Release() { dragging_ = false; }

  // One repaint tick: normalise and age the value box.
  void Tick();
  void Normalise();
  // The value box is drawn for ValueTicks ticks after the last drag step or grabbing press.
  bool ValueBoxShown() const { return showValue_ && ticksSinceChange_ <= valueTicks_; }

  Listeners<> OnChange;     // thumb positions or the live value changed
  Listeners<> OnDrag;       // the user's drag moved thumbs; before the OnChange of that step
  Listeners<> OnMouseMove;  // after the slider's own handling of every mouse move

 private:
  int AxisCoordinate(int x, int y) const;
  int CrossCoordinate(int x, int y) const;
  int NearestThumb(int axisPixel) const;
  template <class F>
  void Changing(F&& change);

  std::vector<int> thumbs_{0};
  int min_ = 0;
  int max_ = 255;
  int step_ = 1;
  int markStep_ = 5;
  int thumbWidth_ = 10;
  int inset_ = 20;
  int trackHeight_ = 20;
  int liveValue_ = 0;
  int activeThumb_ = 0;
  bool dragging_ = false;
  bool showScale_ = true;
  bool grabOnly_ = true;
  bool showValue_ = false;
  int valueTicks_ = 100;
  bool vertical_ = false;
  bool highlightActive_ = false;

  int controlWidth_ = 185;
  int controlHeight_ = 41;
  int lastAxis_ = 0;
  int ticksSinceChange_ = kNeverChanged;
  static constexpr int kNeverChanged = 1 << 30;
};

}  // namespace zorvan
