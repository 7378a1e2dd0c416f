// Every built page's view against its model: the same controls by name and kind both ways.
#include <QLabel>
#include <QLineEdit>
#include <QtTest>

#include "app/Shell.h"
#include "pages/Catalogue.h"
#include "ui/Binder.h"
#include "ui/PageViews.h"

using namespace zorvan;

class PageViewsTest : public QObject {
  Q_OBJECT

 private slots:
  void everyControlHasItsWidgetAndEveryWidgetItsControl();
  void aRenamedOrMistypedWidgetIsReported();
};

void PageViewsTest::everyControlHasItsWidgetAndEveryWidgetItsControl() {
  TPageSet pages(PageCatalogue());
  for (const TPageEntry& entry : PageCatalogue().pages) {
    if (!entry.kind) continue;
    QWidget parent;
    QWidget* view = CreatePageView(entry.id, pages.Page(entry.id), &parent);
    const std::vector<std::string> problems = ViewMismatches(view, pages.Page(entry.id));
    std::string all;
    for (const std::string& p : problems) all += std::string(entry.name) + ": " + p + "\n";
    QVERIFY2(problems.empty(), all.c_str());
    // The title is the page's caption.
    auto* title = view->findChild<QLabel*>(kViewTitle);
    QVERIFY2(title && !title->text().isEmpty(), entry.name);
  }
}

void PageViewsTest::aRenamedOrMistypedWidgetIsReported() {
  TPageSet pages(PageCatalogue());
  TPage& page = pages.Page(TPageId::Common);
  QWidget parent;
  QWidget* view = CreatePageView(TPageId::Common, page, &parent);
  view->findChild<QLineEdit*>("etO")->setObjectName("etObject");
  auto* impostor = new QLabel(view);
  impostor->setObjectName("etKey");
  view->findChild<QLineEdit*>("etKey")->setObjectName("etKeyOld");
  const std::vector<std::string> problems = ViewMismatches(view, page);
  auto has = [&](const std::string& text) { return std::find(problems.begin(), problems.end(), text) != problems.end(); };
  QVERIFY(has("etO: no widget of this name"));
  QVERIFY(has("etObject: widget without a control"));
  QVERIFY(has("etKey: widget of another kind"));
}

QTEST_MAIN(PageViewsTest)
#include "PageViewsTest.moc"
