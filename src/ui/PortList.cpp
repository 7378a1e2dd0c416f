#include "ui/PortList.h"

#include <QSerialPortInfo>
#include <QStyledItemDelegate>

namespace zorvan {
namespace {

constexpr int kDetailRole = Qt::UserRole + 1;

// The open list shows the path and its details; the closed box keeps the bare path.
class TPortItemDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

 protected:
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
    QStyledItemDelegate::initStyleOption(option, index);
    const QString detail = index.data(kDetailRole).toString();
    if (!detail.isEmpty()) option->text += QString::fromUtf8("  —  ") + detail;
  }
};

}  // namespace

QString PortDetailText(const QString& description, const QString& manufacturer, const QString& serialNumber) {
  QString text = description.trimmed();
  const QString maker = manufacturer.trimmed();
  // Many adapters name their maker in the description already ("Prolific USB-Serial ...").
  const QString makerWord = maker.section(' ', 0, 0);
  if (!maker.isEmpty() && !text.contains(makerWord, Qt::CaseInsensitive))
    text = text.isEmpty() ? maker : text + " (" + maker + ")";
  const QString serial = serialNumber.trimmed();
  if (!serial.isEmpty())
    text += (text.isEmpty() ? QString() : QString(", ")) + QString::fromUtf8("серийный номер ") + serial;
  return text;
}

void ShowPortDetails(QComboBox& ports) {
  if (!dynamic_cast<TPortItemDelegate*>(ports.itemDelegate())) ports.setItemDelegate(new TPortItemDelegate(&ports));
  const auto all = QSerialPortInfo::availablePorts();
  for (int i = 0; i < ports.count(); ++i)
    for (const QSerialPortInfo& info : all) {
      if (ports.itemText(i) != info.systemLocation()) continue;
      const QString detail = PortDetailText(info.description(), info.manufacturer(), info.serialNumber());
      ports.setItemData(i, detail, kDetailRole);
      ports.setItemData(i, detail, Qt::ToolTipRole);
    }
}

}  // namespace zorvan
