// The outputs page's view is its Designer form.
#include "ui/FormView.h"
#include "ui_OutsView.h"

namespace zorvan {

class TPage;

QWidget* CreateOutsView(TPage&, QWidget* parent) { return CreateFormView<Ui::OutsView>(parent); }

}  // namespace zorvan
