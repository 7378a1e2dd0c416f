// The system events page's view is its Designer form.
#include "ui/FormView.h"
#include "ui_ATestsView.h"

namespace zorvan {

class TPage;

QWidget* CreateATestsView(TPage&, QWidget* parent) { return CreateFormView<Ui::ATestsView>(parent); }

}  // namespace zorvan
