#include <QApplication>
#include <QCommandLineParser>
#include <QMessageBox>
#include <QTimer>

#include <cstdio>
#include <exception>

#include "app/Screenshot.h"
#include "common/DebugLog.h"
#include "common/Version.h"
#include "config/Defaults.h"
#include "measure/ui/TestForm.h"
#include "plot/render/ImageFile.h"

namespace {

// Time the windows get to lay themselves out and paint before a screenshot.
constexpr int kScreenshotSettleMs = 1500;

// Exceptions that reach the event loop show their message instead of ending the program.
class VireonApplication : public QApplication {
 public:
  using QApplication::QApplication;

  bool notify(QObject* receiver, QEvent* event) override {
    try {
      return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
      QMessageBox::critical(nullptr, applicationDisplayName(), QString::fromUtf8(error.what()));
    }
    return false;
  }
};

}  // namespace

int main(int argc, char* argv[]) {
  VireonApplication app(argc, argv);
  QApplication::setApplicationName("VireonFree");
  QApplication::setApplicationDisplayName("Quenmar VireonFree");
  QApplication::setApplicationVersion(
      QString::fromUtf8(vireon::kProgramVersion.data(), vireon::kProgramVersion.size()));

  QCommandLineParser options;
  options.addHelpOption();
  options.addVersionOption();
  const QCommandLineOption screenshot(
      "screenshot", "Start, let the windows settle, write a PNG of every visible window and exit.",
      "FILE");
  options.addOption(screenshot);
  options.process(app);

  const vireon::Environment environment = vireon::Environment::Process();
  // Written from the first step on when "DoDebug.qtq" is in the data directory.
  vireon::DebugLog debug_log = vireon::DebugLog::StartIfRequested(
      vireon::DataDirectory(environment), vireon::SystemVersionName());
  vireon::RegisterDataPath(environment);

  vireon::TTestForm main_form;
  main_form.show();

  if (options.isSet(screenshot)) {
    const QString target = options.value(screenshot);
    QTimer::singleShot(kScreenshotSettleMs, &app, [&app, target] {
      try {
        vireon::SavePngAtomically(vireon::GrabVisibleWindows(), target.toStdString());
        app.exit(0);
      } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        app.exit(1);
      }
    });
  }
  const int exit_code = app.exec();
  debug_log.Close();
  return exit_code;
}
