#pragma once
// The connection dialog's port list: each item is the port's path (what is stored and opened),
// and the open list shows beside it what the system knows of the device: the USB description,
// the maker and the serial number, which tell two adapters apart.
#include <QComboBox>
#include <QString>

namespace zorvan {

// "FT232R USB UART (FTDI), серийный номер A10K3B2C"; empty when the system knows nothing.
QString PortDetailText(const QString& description, const QString& manufacturer, const QString& serialNumber);

// Puts the details of the system's serial ports on the combo box's items whose text is their
// path, and has the open list show them.
void ShowPortDetails(QComboBox& ports);

}  // namespace zorvan
