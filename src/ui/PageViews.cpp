#include "ui/PageViews.h"

#include <QLabel>
#include <QVBoxLayout>

#include "pages/common/CommonView.h"
#include "session/PageCatalogue.h"
#include "ui/Binder.h"

namespace zorvan {
namespace {

using TViewFactory = QWidget* (*)(TPage& page, QWidget* parent);

struct TViewRow {
  TPageId page;
  TViewFactory create;
};

const TViewRow kViews[] = {
    {TPageId::Common, CreateCommonView},
};

QWidget* CaptionOnly(TPage& page, QWidget* parent) {
  auto* view = new QWidget(parent);
  auto* layout = new QVBoxLayout(view);
  auto* title = new QLabel(ToQt(page.Caption()), view);
  QFont font = title->font();
  font.setBold(true);
  font.setPointSize(font.pointSize() + 2);
  title->setFont(font);
  layout->addWidget(title);
  layout->addStretch();
  return view;
}

}  // namespace

QWidget* CreatePageView(TPageId id, TPage& page, QWidget* parent) {
  TViewFactory create = CaptionOnly;
  for (const TViewRow& row : kViews)
    if (row.page == id) create = row.create;
  QWidget* view = create(page, parent);
  view->setObjectName(QString::fromStdString(page.Name()));
  return view;
}

}  // namespace zorvan
