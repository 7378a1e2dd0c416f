#include "pages/common/CommonView.h"

#include <QEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>

#include "pages/common/Common.h"
#include "ui_CommonView.h"

namespace zorvan {
namespace {

// Lets a typed character through the page's filter; keys without a character pass.
class TKeyFilter : public QObject {
 public:
  TKeyFilter(QLineEdit* edit, char (*filter)(char)) : QObject(edit), edit_(edit), filter_(filter) {
    edit->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched != edit_ || event->type() != QEvent::KeyPress) return false;
    const QString text = static_cast<QKeyEvent*>(event)->text();
    if (text.size() != 1 || text[0].unicode() < 0x20 || text[0].unicode() == 0x7f) return false;
    const char16_t typed = text[0].unicode();
    const char allowed = typed < 0x80 ? filter_(static_cast<char>(typed)) : 0;
    if (allowed == 0) return true;
    if (allowed == static_cast<char>(typed)) return false;
    edit_->insert(QString(QChar(allowed)));  // lower-case hex digits appear in upper case
    return true;
  }

 private:
  QLineEdit* edit_;
  char (*filter_)(char);
};

}  // namespace

QWidget* CreateCommonView(TformCommon& page, QWidget* parent) {
  auto* view = new QWidget(parent);
  Ui::CommonView ui;
  ui.setupUi(view);
  new TKeyFilter(ui.etO, &FilterObjectNumberKey);
  new TKeyFilter(ui.etKey, &FilterMasterCodeKey);
  QGroupBox* signal = ui.GroupBox2;
  TControl& group = page["GroupBox2"];
  auto apply = [signal](const TControl& c) {
    if (c.Position() > 0) signal->setFixedHeight(c.Position());
  };
  apply(group);
  const int id = group.AddListener(apply);
  QObject::connect(signal, &QObject::destroyed, [&group, id] { group.RemoveListener(id); });
  return view;
}

}  // namespace zorvan
