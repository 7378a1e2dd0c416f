// zorvan-config: the configuration program of the Zorvan GSM/GPRS alarm panel.
#include <QApplication>
#include <QCommandLineParser>

#include "base/ProgramFolders.h"
#include "ui/Binder.h"
#include "ui/MainWindow.h"
#include "ui/Translation.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("zorvan-config");
  QApplication::setApplicationVersion("1.0.0");
  if (!zorvan::InstallRussianTranslation(app))
    qWarning("Qt's Russian translation is not installed (Debian package qt6-translations-l10n)");
  QCommandLineParser options;
  options.setApplicationDescription("Configuration program of the Zorvan GSM/GPRS alarm panel");
  options.addHelpOption();
  const QCommandLineOption port("port", "Preselect the serial port PATH in the connection dialog.", "PATH");
  const QCommandLineOption virtualPanel("virtual", "Preselect the built-in virtual panel.");
  options.addOption(port);
  options.addOption(virtualPanel);
  options.process(app);
  const zorvan::TProgramFolders folders = zorvan::ProgramFolders("zorvan-config");
  zorvan::MainWindow window(folders.config, nullptr, folders.state);
  if (options.isSet(port))
    window.Shell().ConnectDialog().Ports().SetText(zorvan::FromQt(options.value(port)));
  else if (options.isSet(virtualPanel))
    window.Shell().ConnectDialog().Ports().SetText(zorvan::FromQt(zorvan::MainWindow::VirtualPanelPort()));
  window.show();
  return QApplication::exec();
}
