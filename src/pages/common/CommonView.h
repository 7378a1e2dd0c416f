#pragma once
// The windowed view of the general settings page: the Designer form and the height of the
// signal group. The main window binds it to the page model.
class QWidget;

namespace zorvan {

class TPage;

QWidget* CreateCommonView(TPage& page, QWidget* parent);

}  // namespace zorvan
