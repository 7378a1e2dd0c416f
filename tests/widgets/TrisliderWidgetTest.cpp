// The slider driven with real mouse events at the loop page's settings, and its picture.
#include <QImage>
#include <QtTest>

#include "widgets/Trislider.h"

using zorvan::TTrislider;

class TrisliderWidgetTest : public QObject {
  Q_OBJECT

 private:
  // Min 0, Max 770, 414 pixels wide, Inset 17, ThumbWidth 8: 378 / 770 pixels per unit,
  // thumbs 16 units apart. Control x = picture x + 1.
  static void SetUpLoopSlider(TTrislider& s, int thumbs) {
    s.resize(414, 60);
    auto& m = s.Model();
    m.SetMin(0);
    m.SetMax(770);
    m.SetStep(1);
    m.SetMarkStep(20);
    QVERIFY(s.SetInset(17));
    m.SetThumbWidth(8);
    if (thumbs == 5)
      m.SetThumbs({0, 228, 371, 487, 759});
    else
      m.SetThumbs({0, 228, 371, 759});
  }
  static QPoint At(int pictureX) { return {pictureX + 1, 31}; }
  // Pixels of the tooltip colour above the track near thumb 2.
  static int TipPixels(const QImage& picture, const TTrislider& s) {
    const QColor tip = s.palette().color(QPalette::ToolTipBase);
    int n = 0;
    for (int y = 0; y < 19; ++y)
      for (int x = 170; x < 230; ++x) n += picture.pixelColor(x, y) == tip;
    return n;
  }

 private slots:
  void DragsPushNeighboursHoldSpacingAndRespectMin_data() {
    QTest::addColumn<int>("thumbs");
    QTest::addColumn<int>("pressX");
    QTest::addColumn<QList<int>>("moves");
    QTest::addColumn<QList<int>>("expected");
    // Thumb 2 of the five-thumb slider sits at picture x 199.
    QTest::newRow("five: within neighbours") << 5 << 199 << QList<int>{150}
                                             << QList<int>{0, 228, 271, 487, 759};
    QTest::newRow("five: left over both") << 5 << 199 << QList<int>{120, 60, 20}
                                          << QList<int>{0, 16, 32, 487, 759};
    QTest::newRow("five: right past the end") << 5 << 199 << QList<int>{300, 413}
                                              << QList<int>{0, 228, 738, 754, 770};
    // Thumb 1 of the four-thumb slider sits at picture x 129.
    QTest::newRow("four: down to Min") << 4 << 129 << QList<int>{60, 0}
                                       << QList<int>{0, 16, 371, 759};
    QTest::newRow("four: up into thumb 2") << 4 << 129 << QList<int>{200}
                                           << QList<int>{0, 373, 389, 759};
  }

  void DragsPushNeighboursHoldSpacingAndRespectMin() {
    QFETCH(int, thumbs);
    QFETCH(int, pressX);
    QFETCH(QList<int>, moves);
    QFETCH(QList<int>, expected);
    TTrislider s;
    SetUpLoopSlider(s, thumbs);
    s.show();
    QVERIFY(QTest::qWaitForWindowExposed(&s));

    QTest::mousePress(&s, Qt::LeftButton, {}, At(pressX));
    QVERIFY(s.Model().Dragging());
    for (int x : moves) QTest::mouseMove(&s, At(x));
    QTest::mouseRelease(&s, Qt::LeftButton, {}, At(moves.back()));
    QVERIFY(!s.Model().Dragging());

    const std::vector<int> got = s.Model().Thumbs();
    QCOMPARE(QList<int>(got.begin(), got.end()), expected);
    for (std::size_t i = 1; i < got.size(); ++i) QVERIFY(got[i] - got[i - 1] >= 16);
  }

  void APressBetweenThumbsMakesTheNearestActiveWithoutDragging() {
    TTrislider s;
    SetUpLoopSlider(s, 5);
    s.show();
    QVERIFY(QTest::qWaitForWindowExposed(&s));
    QTest::mousePress(&s, Qt::LeftButton, {}, At(160));
    QCOMPARE(s.Model().ActiveThumb(), 1);
    QVERIFY(!s.Model().Dragging());
    QTest::mouseMove(&s, At(100));
    QTest::mouseRelease(&s, Qt::LeftButton, {}, At(100));
    QCOMPARE(s.Model().Thumb(1), 228);
  }

  void EveryMouseMoveReachesThePageAfterTheDragStep() {
    TTrislider s;
    SetUpLoopSlider(s, 5);
    s.show();
    QVERIFY(QTest::qWaitForWindowExposed(&s));
    QList<int> seen;
    s.Model().OnMouseMove.Add([&] { seen.append(s.Model().Thumb(2)); });
    QTest::mouseMove(&s, At(50));  // no button: not dragging, still reported
    QTest::mousePress(&s, Qt::LeftButton, {}, At(199));
    QTest::mouseMove(&s, At(150));
    QCOMPARE(seen, (QList<int>{371, 271}));
  }

  void ThePictureShowsTrackLiveMarkerThumbsAndValueBox() {
    TTrislider s;
    SetUpLoopSlider(s, 5);
    s.Model().SetShowValue(true);
    s.Model().SetLiveValue(900);  // above Max: drawn at Max
    s.show();
    QVERIFY(QTest::qWaitForWindowExposed(&s));
    QCOMPARE(s.Timer().interval(), 100);
    QVERIFY(s.Timer().isActive());

    s.RepaintTick();
    QImage picture = s.Picture().toImage();
    QCOMPARE(picture.size(), QSize(412, 58));
    const QColor face = s.palette().color(QPalette::Button);
    const QColor highlight = s.palette().color(QPalette::Highlight);
    // Track 20 high centred in 58: rows 19..39; the marker fills it up to Max at x 395.
    QCOMPARE(picture.pixelColor(380, 22), highlight);
    QCOMPARE(picture.pixelColor(300, 22), highlight);
    QCOMPARE(picture.pixelColor(5, 29), face);       // background left of the track
    QCOMPARE(picture.pixelColor(199, 35), face);     // thumb 2's body covers the track
    QVERIFY(picture.pixelColor(27, 43) != face);     // a scale mark under the tips
    // No value box before a change.
    QCOMPARE(TipPixels(picture, s), 0);

    s.Model().SetLiveValue(0);
    QTest::mousePress(&s, Qt::LeftButton, {}, At(199));
    QTest::mouseMove(&s, At(200));
    s.RepaintTick();
    picture = s.Picture().toImage();
    QCOMPARE(picture.pixelColor(300, 22), QColor(Qt::white));  // marker gone: LiveValue 0
    // The value box above the track, around thumb 2 (now at x 200).
    QVERIFY(TipPixels(picture, s) > 20);
  }

  void TheVerticalFormDrawsTheMarkerFromTheBottom() {
    TTrislider s;
    s.resize(60, 414);
    auto& m = s.Model();
    m.SetVertical(true);
    m.SetMax(770);
    QVERIFY(s.SetInset(17));
    m.SetThumbWidth(8);
    m.SetThumbs({0, 700});
    m.SetLiveValue(385);
    s.RepaintTick();
    const QImage picture = s.Picture().toImage();
    QCOMPARE(picture.size(), QSize(58, 412));
    const QColor highlight = s.palette().color(QPalette::Highlight);
    QCOMPARE(picture.pixelColor(22, 412 - 100), highlight);
    QVERIFY(picture.pixelColor(22, 412 - 300) != highlight);
  }
};

QTEST_MAIN(TrisliderWidgetTest)
#include "TrisliderWidgetTest.moc"
