// The GPRS page's view is its Designer form.
#include "ui/FormView.h"
#include "ui_GprsView.h"

namespace zorvan {

class TPage;

QWidget* CreateGprsView(TPage&, QWidget* parent) { return CreateFormView<Ui::GprsView>(parent); }

}  // namespace zorvan
