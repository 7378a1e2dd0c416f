#pragma once
// The view of every page: its Designer form, by the page's place in the catalogue. A page
// that is not built yet shows its caption.
class QWidget;

namespace zorvan {

class TPage;
enum class TPageId : int;

QWidget* CreatePageView(TPageId id, TPage& page, QWidget* parent);

}  // namespace zorvan
