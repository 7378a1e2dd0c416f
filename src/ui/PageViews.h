#pragma once
// The view of every page: its Designer form, by the page's place in the catalogue. A page
// that is not built yet shows its caption.
class QWidget;

namespace zorvan {

class TPage;
enum class TPageId : int;

QWidget* CreatePageView(TPageId id, TPage& page, QWidget* parent);

// A form's widgets whose names begin with "view" are its own decoration, not controls; the
// label named kViewTitle shows the page's caption.
inline constexpr char kViewTitle[] = "viewTitle";

}  // namespace zorvan
