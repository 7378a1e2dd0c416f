#include "ui/PageViews.h"

#include <QLabel>
#include <QVBoxLayout>

#include "session/PageCatalogue.h"
#include "ui/Binder.h"

namespace zorvan {

// Each built page's view, from its folder.
QWidget* CreateCommonView(TPage& page, QWidget* parent);
QWidget* CreateATestsView(TPage& page, QWidget* parent);
QWidget* CreateGprsView(TPage& page, QWidget* parent);
QWidget* CreateOutsView(TPage& page, QWidget* parent);
QWidget* CreateEnNumberView(TPage& page, QWidget* parent);

namespace {

using TViewFactory = QWidget* (*)(TPage& page, QWidget* parent);

struct TViewRow {
  TPageId page;
  TViewFactory create;
};

const TViewRow kViews[] = {
    {TPageId::Common, CreateCommonView},
    {TPageId::ATests, CreateATestsView},
    {TPageId::GPRS, CreateGprsView},
    {TPageId::Outs, CreateOutsView},
    {TPageId::EnNumber, CreateEnNumberView},
};

QWidget* CaptionOnly(TPage&, QWidget* parent) {
  auto* view = new QWidget(parent);
  auto* layout = new QVBoxLayout(view);
  auto* title = new QLabel(view);
  title->setObjectName(kViewTitle);
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
  // A form's title is the page's caption, which only the catalogue spells.
  if (auto* title = view->findChild<QLabel*>(kViewTitle)) title->setText(ToQt(page.Caption()));
  return view;
}

}  // namespace zorvan
