#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QTimer>

#include <cstdio>
#include <exception>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>

#include "audio/devices/DeviceCatalog.h"
#include "audio/devices/portaudio/AudioDevices.h"
#include "audio/devices/simulated/BenchFile.h"
#include "audio/devices/simulated/SimulatedCard.h"
#include "common/DebugLog.h"
#include "common/Version.h"
#include "config/Defaults.h"
#include "files/FileContext.h"
#include "measure/ui/TestForm.h"
#include "plot/render/ImageFile.h"
#include "plot/ui/PlotWindowList.h"
#include "plot/ui/ScreenCapture.h"
#include "plot/ui/TDataPlot.h"
#include "plot/ui/TPlotForm.h"

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

// Runs `done` once, after the watched widget has painted for the first time.
class FirstPaintWatch : public QObject {
 public:
  FirstPaintWatch(QWidget& watched, std::function<void()> done) : done_(std::move(done)) {
    watched.installEventFilter(this);
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      watched->removeEventFilter(this);
      QTimer::singleShot(0, this, done_);
    }
    return false;
  }

 private:
  std::function<void()> done_;
};

}  // namespace

int main(int argc, char* argv[]) {
  QElapsedTimer since_launch;
  since_launch.start();
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
  options.addPositionalArgument("file", "A data file to show in a new plot window.", "[file]");
  options.process(app);

  const vireon::Environment environment = vireon::Environment::Process();
  const std::string data_directory = vireon::DataDirectory(environment);
  // Written from the first step on when "DoDebug.qtq" is in the data directory.
  vireon::DebugLog debug_log =
      vireon::DebugLog::StartIfRequested(data_directory, vireon::SystemVersionName());
  vireon::RegisterDataPath(environment);

  // The sound cards PortAudio finds, then the simulated card with the built-in bench on its
  // real-time clock.
  const vireon::AudioDevices devices = vireon::OpenAudioDevices(
      true, vireon::BuiltInBench(), vireon::SimulatedCard::Clock::kRealTime,
      environment.Get("VIREON_NO_SIMULATED_CARD") == "1");
  // The plot windows refer to the file context and the list: both outlive the windows.
  const vireon::FileContext files;
  vireon::PlotWindowList secondary_plots(
      vireon::PlotFormContext{files, data_directory, vireon::InteractiveDialogs(), {}});
  vireon::TTestForm main_form({
      .driver = *devices.catalog,
      .devices = vireon::DefaultStationDevices(*devices.catalog),
      .data_directory = data_directory,
      .driver_error_text = [&devices] { return devices.DriverErrorText(); },
      .show_message = vireon::ShowOkMessage,
      .end_debug_log = [&debug_log] { debug_log.Close(); },
      .plot_session = secondary_plots.Context().session,
      .started_with_file = !options.positionalArguments().isEmpty(),
  });

  vireon::TPlotForm primary_plot({vireon::PlotRoleKind::Primary, 0}, secondary_plots.Context());
  main_form.SetPrimaryPlot(&primary_plot, vireon::DefaultPlotRecord(files.Defaults));
  main_form.SetPlotWindows(secondary_plots);

  // A configuration read at the first showing may place the windows anew.
  main_form.PlaceWindows();
  primary_plot.show();
  main_form.show();
  secondary_plots.SetPlacement(primary_plot.frameGeometry().topRight() + QPoint(10, 0),
                               primary_plot.size());
  FirstPaintWatch startup_time(*primary_plot.Plot(), [&debug_log, &since_launch] {
    debug_log.Log("Startup", "ready after " + std::to_string(since_launch.elapsed()) +
                                 " ms: main window "
                                 "shown, primary plot drawn");
  });

  // Files named on the command line open once the event loop runs, each in a window of its
  // own that is shown only when the file loads.
  for (const QString& argument : options.positionalArguments()) {
    const std::filesystem::path file(argument.toStdString());
    QTimer::singleShot(0, &app, [&secondary_plots, file] {
      vireon::TPlotForm* window = secondary_plots.New();
      if (window->OpenFile(file)) {
        window->show();
      } else {
        window->deleteLater();
      }
    });
  }

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
