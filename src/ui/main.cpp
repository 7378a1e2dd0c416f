// zorvan-config: the configuration program of the Zorvan GSM/GPRS alarm panel.
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <unistd.h>

#include "app/ValueHelpers.h"
#include "ui/MainWindow.h"

namespace {

// Settings live beside the program; when that folder cannot be written, in the user's
// configuration folder.
std::string SettingsFolder() {
  const std::string beside = zorvan::ProgramFolder();
  if (access(beside.c_str(), W_OK) == 0) return beside;
  QString config = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
  QDir().mkpath(config);
  return QDir(config).absolutePath().toStdString() + "/";
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("zorvan-config");
  QApplication::setApplicationVersion("1.0.0");
  zorvan::MainWindow window(SettingsFolder());
  window.show();
  return QApplication::exec();
}
