#include "widgets/TrisliderModel.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace zorvan {
namespace {

using Thumbs = std::vector<int>;

// The loop page's slider: 0..770 over a 414-pixel control, inset 17, thumbs 8 pixels wide.
// One unit is 378 / 770 pixels and neighbouring thumbs stay 16 units apart.
class LoopSlider : public ::testing::Test {
 protected:
  void SetUp() override {
    m.SetControlSize(414, 60);
    m.SetMin(0);
    m.SetMax(770);
    m.SetStep(1);
    m.SetMarkStep(20);
    ASSERT_TRUE(m.SetInset(17));
    m.SetThumbWidth(8);
    m.SetThumbs({0, 228, 371, 487, 759});
  }
  // Mouse x in picture pixels for a value: round(v * 378 / 770) + 17.
  static int X(int value) { return static_cast<int>(value * 378.0 / 770.0 + 0.5) + 17; }
  static constexpr int kY = 30;  // within the thumbs' height
  TrisliderModel m;
};

TEST_F(LoopSlider, GeometryOfTheLoopPage) {
  const TrisliderGeometry g = m.Geometry();
  EXPECT_EQ(g.axisLength, 412);
  EXPECT_EQ(g.inset, 17);
  EXPECT_NEAR(g.unit, 0.4909, 0.0001);
  EXPECT_EQ(g.spacing, 16);
  EXPECT_EQ(m.PixelOfValue(0), 17);
  EXPECT_EQ(m.PixelOfValue(385), 206);
  EXPECT_EQ(m.PixelOfValue(770), 395);
  EXPECT_EQ(m.ValueAtPixel(206), 385);
  EXPECT_EQ(m.ValueAtPixel(150), 271);
}

TEST_F(LoopSlider, DraggingAMiddleThumbPushesNeighboursAndHoldsSpacing) {
  m.Press(X(371), kY);
  ASSERT_TRUE(m.Dragging());
  ASSERT_EQ(m.ActiveThumb(), 2);

  struct Step {
    int x;
    Thumbs expected;
  };
  const Step steps[] = {
      {150, {0, 228, 271, 487, 759}},  // free move between its neighbours
      {60, {0, 72, 88, 487, 759}},     // pushes thumb 1 ahead of it
      {20, {0, 16, 32, 487, 759}},     // the first thumb meets Min: the dragged one is held back
      {300, {0, 16, 576, 592, 759}},   // right again: thumb 3 pushed, thumbs 0 and 1 stay
      {413, {0, 16, 738, 754, 770}},   // past the end: the last thumb is held at Max
  };
  for (const Step& s : steps) {
    m.Move(s.x, kY);
    EXPECT_EQ(m.Thumbs(), s.expected) << "x " << s.x;
  }
  m.Release();
  EXPECT_FALSE(m.Dragging());
  m.Move(100, kY);
  EXPECT_EQ(m.Thumbs(), (Thumbs{0, 16, 738, 754, 770}));
}

TEST_F(LoopSlider, PressPicksTheNearestThumbAndGrabsOnlyOnIt) {
  struct Case {
    bool grabOnly;
    int x, y;
    int active;  // expected active thumb
    bool dragging;
  };
  // Thumb pixels: 17, 129, 199, 256, 390; a thumb grabs within 4 + 2 pixels.
  const Case cases[] = {
      {true, 135, kY, 1, true},    // 6 pixels off thumb 1: still on it
      {true, 136, kY, 1, false},   // 7 pixels off
      {true, 160, kY, 1, false},   // between thumbs 1 and 2: nearest is made active
      {false, 160, kY, 1, true},   // GrabOnly off drags at once
      {true, 199, 16, 0, false},   // above the thumbs: ignored
      {true, 199, 42, 0, false},   // below the tips (picture height 58 - 17)
      {true, 12, kY, 0, false},    // before the track start minus half a thumb
      {true, 13, kY, 0, true},     // just inside: thumb 0
      {true, 396, kY, 4, true},    // 6 pixels off the last thumb
      {true, 399, kY, 4, false},   // 412 - 17 + 4: inside, but off the thumb
      {false, 399, kY, 4, true},
      {false, 400, kY, 0, false},  // beyond the track end plus half a thumb
  };
  for (const Case& c : cases) {
    m.SetGrabOnly(c.grabOnly);
    m.SetActiveThumb(0);
    m.Press(c.x, c.y);
    EXPECT_EQ(m.ActiveThumb(), c.active) << "x " << c.x << " y " << c.y;
    EXPECT_EQ(m.Dragging(), c.dragging) << "x " << c.x << " y " << c.y;
    m.Release();
  }
}

TEST_F(LoopSlider, ATieGoesToTheFirstThumb) {
  m.SetThumbs({100, 300});
  EXPECT_EQ(m.ThumbPixel(0), 66);
  EXPECT_EQ(m.ThumbPixel(1), 164);
  m.SetActiveThumb(1);
  m.Press(115, kY);  // 49 pixels from both
  EXPECT_EQ(m.ActiveThumb(), 0);
}

TEST_F(LoopSlider, MouseMoveListenersRunOnEveryMoveAfterTheDragStep) {
  int calls = 0;
  Thumbs seen;
  m.OnMouseMove.Add([&] {
    ++calls;
    seen = m.Thumbs();
  });
  m.Move(100, kY);  // not dragging
  m.Press(X(228), kY);
  m.Move(164, kY);
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(seen, (Thumbs{0, 299, 371, 487, 759}));
}

TEST_F(LoopSlider, TheVerticalFormGrowsUpwardsAndAlwaysDrags) {
  m.SetVertical(true);
  m.SetControlSize(60, 414);
  // Axis pixels count from the picture's bottom (picture height 412).
  m.Press(kY, 412 - X(371));
  ASSERT_TRUE(m.Dragging());
  EXPECT_EQ(m.ActiveThumb(), 2);
  m.Move(kY, 412 - 150);
  EXPECT_EQ(m.Thumbs(), (Thumbs{0, 228, 271, 487, 759}));
  m.Release();
  m.Press(kY, 412 - 100);  // 29 pixels off thumb 1, yet a drag starts
  EXPECT_TRUE(m.Dragging());
  EXPECT_EQ(m.ActiveThumb(), 1);
}

TEST_F(LoopSlider, ValueBoxStaysForValueTicksTicksAfterAChange) {
  m.SetShowValue(true);
  m.SetValueTicks(3);
  EXPECT_FALSE(m.ValueBoxShown());
  m.Press(X(228), kY);
  m.Move(X(250), kY);
  for (int tick = 1; tick <= 3; ++tick) {
    m.Tick();
    EXPECT_TRUE(m.ValueBoxShown()) << "tick " << tick;
  }
  m.Tick();
  EXPECT_FALSE(m.ValueBoxShown());
  m.Move(X(260), kY);  // each drag step starts the count again
  m.Tick();
  EXPECT_TRUE(m.ValueBoxShown());
  m.SetShowValue(false);
  EXPECT_FALSE(m.ValueBoxShown());
}

TEST_F(LoopSlider, ScaleMarksEveryMarkStepWithEveryFifthLong) {
  const std::vector<TrisliderMark> marks = m.ScaleMarks();
  ASSERT_EQ(marks.size(), 39u);  // 0, 20, ... 760
  EXPECT_EQ(marks[0].pixel, 17);
  EXPECT_EQ(marks[1].pixel, 27);
  EXPECT_TRUE(marks[0].isLong);
  EXPECT_FALSE(marks[4].isLong);
  EXPECT_TRUE(marks[5].isLong);
  m.SetMarkStep(0);  // would never reach Max
  EXPECT_TRUE(m.ScaleMarks().empty());
}

TEST(TrisliderNormalise, PutsThumbsInOrderWithSpacingAndMin) {
  struct Case {
    Thumbs in;
    int step;
    Thumbs out;
  };
  const Case cases[] = {
      {{300, 100}, 1, {84, 100}},        // first pulled down to 100 - 16
      {{10, 5}, 1, {0, 16}},             // ...but not below Min: the second is pushed up
      {{0, 228, 371, 487, 759}, 1, {0, 228, 371, 487, 759}},
      {{100, 100, 100}, 1, {68, 84, 100}},
      {{13, 200}, 10, {10, 200}},        // snapped to the step
      {{7, 200}, 0, {7, 200}},           // step 0 counts as 1
      {{-5}, 1, {0}},
      {{INT_MAX, INT_MIN}, 1, {0, 16}},  // no overflow on wild values
  };
  for (const Case& c : cases) {
    Thumbs t = c.in;
    NormaliseThumbs(t, 0, c.step, 16);
    EXPECT_EQ(t, c.out);
  }
}

TEST(TrisliderNormalise, SnapToStepRoundsToTheNearestMultiple) {
  const int cases[][3] = {{7, 5, 5}, {8, 5, 10}, {-7, 5, -5}, {-8, 5, -10}, {7, 0, 7}, {7, -5, 5}};
  for (const auto& c : cases) EXPECT_EQ(SnapToStep(c[0], c[1]), c[2]) << c[0] << " " << c[1];
}

TEST(TrisliderModelTest, DefaultsAndTheirGeometry) {
  TrisliderModel m;
  EXPECT_EQ(m.Thumbs(), (Thumbs{0}));
  EXPECT_EQ(m.Min(), 0);
  EXPECT_EQ(m.Max(), 255);
  EXPECT_EQ(m.ThumbWidth(), 10);
  EXPECT_EQ(m.Inset(), 20);
  EXPECT_EQ(m.MarkStep(), 5);
  EXPECT_EQ(m.ValueTicks(), 100);
  EXPECT_TRUE(m.GrabOnly());
  EXPECT_TRUE(m.ShowScale());
  EXPECT_FALSE(m.ShowValue());
  EXPECT_FALSE(m.Vertical());
}

TEST(TrisliderModelTest, PropertyRules) {
  TrisliderModel m;
  m.SetControlSize(414, 60);
  m.SetThumbCount(0);
  EXPECT_EQ(m.ThumbCount(), 1);
  m.SetThumb(0, 50);
  m.SetThumbCount(3);
  EXPECT_EQ(m.Thumbs(), (Thumbs{50, 50, 50}));
  EXPECT_EQ(m.Thumb(3), 0);  // beyond the list
  m.SetThumb(3, 9);          // no effect
  EXPECT_EQ(m.ThumbCount(), 3);

  m.SetMax(-5);  // below Min: swapped
  EXPECT_EQ(m.Min(), -5);
  EXPECT_EQ(m.Max(), 0);
  m.SetMax(770);
  m.SetMin(0);
  m.SetLiveValue(900);
  EXPECT_EQ(m.LiveValue(), 770);
  m.SetLiveValue(-3);
  EXPECT_EQ(m.LiveValue(), 0);

  EXPECT_FALSE(m.SetInset(60));  // not below the height
  EXPECT_TRUE(m.SetInset(59));
  m.SetControlSize(40, 100);
  EXPECT_FALSE(m.SetInset(11));  // not below 40 - 59 / 2
  ASSERT_TRUE(m.SetInset(10));
  ASSERT_TRUE(m.SetInset(20));
  EXPECT_FALSE(m.SetInset(30));  // not below 40 - 20 / 2
  EXPECT_TRUE(m.SetInset(29));
  EXPECT_FALSE(m.SetInset(-1));
}

TEST(TrisliderModelTest, ARangeNotStartingAtZeroStillFillsTheTrack) {
  TrisliderModel m;
  m.SetControlSize(414, 60);
  m.SetMax(870);
  m.SetMin(100);
  ASSERT_TRUE(m.SetInset(17));
  EXPECT_EQ(m.PixelOfValue(100), 17);
  EXPECT_EQ(m.PixelOfValue(870), 395);
  EXPECT_EQ(m.ValueAtPixel(17), 100);
}

TEST(TrisliderModelTest, TickNormalisesAndReportsTheChange) {
  TrisliderModel m;
  m.SetControlSize(414, 60);
  m.SetMax(770);
  ASSERT_TRUE(m.SetInset(17));
  m.SetThumbWidth(8);
  m.SetThumbs({300, 100});
  int changes = 0;
  m.OnChange.Add([&] { ++changes; });
  m.Tick();
  EXPECT_EQ(m.Thumbs(), (Thumbs{84, 100}));
  EXPECT_EQ(changes, 1);
  m.Tick();  // nothing left to change
  EXPECT_EQ(changes, 1);
}

TEST(TrisliderModelTest, DegenerateRangeAndTinyControlDoNotBreakTheGeometry) {
  TrisliderModel m;
  m.SetControlSize(0, 0);
  m.SetMax(0);
  const TrisliderGeometry g = m.Geometry();
  EXPECT_EQ(g.axisLength, 10);
  EXPECT_LE(g.inset, 5);
  EXPECT_GT(g.unit, 0);
  m.Press(5, 5);
  m.Move(7, 5);
  m.Tick();
  EXPECT_EQ(m.Thumbs(), (Thumbs{0}));
}

}  // namespace
}  // namespace zorvan
