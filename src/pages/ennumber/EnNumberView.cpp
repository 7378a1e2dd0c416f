// The engineer numbers page's view is its Designer form.
#include "ui/FormView.h"
#include "ui_EnNumberView.h"

namespace zorvan {

class TPage;

QWidget* CreateEnNumberView(TPage&, QWidget* parent) { return CreateFormView<Ui::EnNumberView>(parent); }

}  // namespace zorvan
