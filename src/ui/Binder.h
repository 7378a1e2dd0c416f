#pragma once
// One generic binder per control kind: the widget mirrors its model control, and what the
// user does goes to the model, whose handlers hold the rules.
#include <QColor>
#include <QString>
#include <string>
#include <vector>

#include "model/Control.h"

class QObject;
class QWidget;

namespace zorvan {

QString ToQt(const std::string& cp1251);
std::string FromQt(const QString& text);
// A colour name or "$00BBGGRR"; system colours take the widget palette's colour.
QColor ColorFromName(const std::string& name, const QWidget* widget = nullptr, bool background = false);

// Binds the widget to the control by the widget's kind.
void BindControl(QObject* widget, TControl& control);
// Binds the root to the form itself and every child whose object name is a control name.
void BindForm(QWidget* root, TForm& form);

// What does not match between a view and its form: a control without a widget of its name and
// kind, or a named widget that is no control of the form. Empty when they match.
std::vector<std::string> ViewMismatches(const QWidget* root, const TForm& form);

}  // namespace zorvan
