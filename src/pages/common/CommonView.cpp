#include <QWidget>

#include <QGroupBox>

#include "pages/common/Common.h"
#include "ui_CommonView.h"

namespace zorvan {

QWidget* CreateCommonView(TPage& p, QWidget* parent) {
  auto& page = static_cast<TformCommon&>(p);
  auto* view = new QWidget(parent);
  Ui::CommonView ui;
  ui.setupUi(view);
  // The signal group is one row high on a panel with one SIM card.
  QGroupBox* signal = ui.GroupBox2;
  TControl& group = page.GroupBox2;
  auto apply = [signal](const TControl& c) {
    if (c.Position() > 0) signal->setFixedHeight(c.Position());
  };
  apply(group);
  const int id = group.AddListener(apply);
  QObject::connect(signal, &QObject::destroyed, [&group, id] { group.RemoveListener(id); });
  return view;
}

}  // namespace zorvan
