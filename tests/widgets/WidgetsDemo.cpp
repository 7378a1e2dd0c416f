// A window to look at the two widgets: loop-page sliders with a moving live marker, a vertical
// slider and two partition combos. Options for unattended screenshots:
//   --drag          drag thumb 2 of the five-thumb slider so that its value box shows
//   --open-popup    open the first combo's pop-up (after checking 3 and 1)
//   --grab FILE     save the window to FILE just before quitting
//   --quit-after MS quit after MS milliseconds
#include <QApplication>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>
#include <cmath>

#include "base/Cp1251.h"
#include "widgets/CheckCombo.h"
#include "widgets/Trislider.h"

using namespace zorvan;

namespace {

TTrislider* LoopSlider(QWidget* parent, std::vector<int> thumbs) {
  auto* s = new TTrislider(parent);
  s->setFixedSize(414, 60);
  auto& m = s->Model();
  m.SetMin(0);
  m.SetMax(770);
  m.SetStep(1);
  m.SetMarkStep(20);
  s->SetInset(17);
  m.SetThumbWidth(8);
  m.SetThumbs(std::move(thumbs));
  m.SetShowValue(true);
  return s;
}

QString ThumbsText(const TrisliderModel& m) {
  QStringList parts;
  for (int t : m.Thumbs()) parts << QString::number(t);
  return parts.join("  ") + QString("   live %1").arg(m.LiveValue());
}

TCheckedComboBox* PartitionCombo(QWidget* parent) {
  auto* c = new TCheckedComboBox(parent);
  auto& m = c->Model();
  m.SetEmptyValue(W("<нет>"));
  m.SetCapSelectAll(W("&Выделить все"));
  m.SetCapDeSelectAll(W("&Отменить все"));
  m.SetSortDisplay(true);
  m.SetItems({"1", "2", "3", "4", "5", "6"});
  c->setFixedWidth(145);
  return c;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QStringList args = app.arguments();
  auto option = [&](const QString& name) {
    const qsizetype i = args.indexOf(name);
    return i >= 0 && i + 1 < args.size() ? args[i + 1] : QString();
  };

  QWidget window;
  window.setWindowTitle("Zorvan widgets");
  auto* layout = new QHBoxLayout(&window);

  auto* loops = new QGroupBox(QString::fromUtf8("Пороговые значения для шлейфов АЦП"), &window);
  auto* loopsLayout = new QVBoxLayout(loops);
  TTrislider* five = LoopSlider(loops, {0, 228, 371, 487, 759});
  auto* fiveText = new QLabel(loops);
  TTrislider* four = LoopSlider(loops, {0, 228, 371, 759});
  auto* fourText = new QLabel(loops);
  loopsLayout->addWidget(five);
  loopsLayout->addWidget(fiveText);
  loopsLayout->addWidget(four);
  loopsLayout->addWidget(fourText);
  layout->addWidget(loops);

  auto* vertical = new TTrislider(&window);
  vertical->setFixedSize(60, 220);
  vertical->Model().SetVertical(true);
  vertical->Model().SetMax(100);
  vertical->Model().SetMarkStep(5);
  vertical->SetInset(15);
  vertical->Model().SetThumbWidth(8);
  vertical->Model().SetThumbs({20, 60});
  vertical->Model().SetHighlightActive(true);
  layout->addWidget(vertical);

  auto* keyboard = new QGroupBox(QString::fromUtf8("Параметры клавиатуры"), &window);
  auto* form = new QFormLayout(keyboard);
  TCheckedComboBox* perimeter = PartitionCombo(keyboard);
  TCheckedComboBox* exitCombo = PartitionCombo(keyboard);
  form->addRow(QString::fromUtf8("Периметр"), perimeter);
  form->addRow(QString::fromUtf8("Выход"), exitCombo);
  layout->addWidget(keyboard, 0, Qt::AlignTop);

  // A live loop value sweeping like a measurement would.
  QTimer live;
  int phase = 0;
  QObject::connect(&live, &QTimer::timeout, [&] {
    const int value = 385 + static_cast<int>(300 * std::sin(phase++ / 20.0));
    five->Model().SetLiveValue(value);
    four->Model().SetLiveValue(value);
    vertical->Model().SetLiveValue(50 + static_cast<int>(40 * std::sin(phase / 15.0)));
    fiveText->setText(ThumbsText(five->Model()));
    fourText->setText(ThumbsText(four->Model()));
  });
  live.start(100);

  window.show();

  if (args.contains("--drag")) {
    // Thumb 2 at picture x 199, dragged to 60: it pushes thumb 1 ahead of it.
    auto& m = five->Model();
    m.SetLiveValue(540);
    four->Model().SetLiveValue(540);
    vertical->Model().SetLiveValue(70);
    m.Press(199, 30);
    m.Move(120, 30);
    m.Move(60, 30);
    m.Release();
    live.stop();
    fiveText->setText(ThumbsText(m));
    fourText->setText(ThumbsText(four->Model()));
  }
  if (args.contains("--open-popup")) {
    perimeter->Model().SetChecked(2, true);
    perimeter->Model().SetChecked(0, true);
    exitCombo->Model().SelectAll();
    QTimer::singleShot(300, perimeter, &TCheckedComboBox::OpenPopup);
  }
  const QString quitAfter = option("--quit-after");
  if (!quitAfter.isEmpty()) {
    const QString grab = option("--grab");
    QTimer::singleShot(quitAfter.toInt(), &app, [&, grab] {
      if (!grab.isEmpty()) window.grab().save(grab);
      app.quit();
    });
  }
  return app.exec();
}
