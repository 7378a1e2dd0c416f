#pragma once
// A page view that is its Designer form and nothing more.
#include <QWidget>

namespace zorvan {

template <class UiForm>
QWidget* CreateFormView(QWidget* parent) {
  auto* view = new QWidget(parent);
  UiForm ui;
  ui.setupUi(view);
  return view;
}

}  // namespace zorvan
