#pragma once
// The windowed view of the general settings page: the Designer form, the edits' key
// filters and the height of the signal group. The caller binds it to the page model.
class QWidget;

namespace zorvan {

class TformCommon;

QWidget* CreateCommonView(TformCommon& page, QWidget* parent);

}  // namespace zorvan
