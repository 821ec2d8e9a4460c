#include <QApplication>
#include <QCommandLineParser>
#include <QMessageBox>
#include <QPointer>
#include <QScreen>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/Screenshot.h"
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

// The secondary plot windows: numbered from "Plot2" on, the first at a given place, each
// further one 20 pixels right of and below the previous one; freed when closed or at the end.
// New windows are created hidden.
class SecondaryPlots {
 public:
  SecondaryPlots() = default;
  SecondaryPlots(const SecondaryPlots&) = delete;
  SecondaryPlots& operator=(const SecondaryPlots&) = delete;
  ~SecondaryPlots() {
    for (const QPointer<vireon::TPlotForm>& window : windows_) delete window.data();
  }

  void SetPlacement(QPoint first, QSize size) {
    first_ = first;
    size_ = size;
  }

  vireon::TPlotForm* New(const vireon::PlotFormContext& context) {
    constexpr int kStep = 20;
    constexpr int kScreenMargin = 100;
    QPoint position = first_;
    for (auto it = windows_.rbegin(); it != windows_.rend(); ++it) {
      if (!it->isNull()) {
        position = (*it)->pos() + QPoint(kStep, kStep);
        break;
      }
    }
    if (const QScreen* screen = QGuiApplication::primaryScreen(); screen != nullptr) {
      const QRect available = screen->availableGeometry();
      position.setX(std::min(position.x(), available.right() - kScreenMargin));
      position.setY(std::min(position.y(), available.bottom() - kScreenMargin));
    }
    auto* window =
        new vireon::TPlotForm({vireon::PlotRoleKind::Secondary, next_number_++}, context);
    window->resize(size_);
    window->move(position);
    windows_.emplace_back(window);
    return window;
  }

 private:
  QPoint first_;
  QSize size_;
  int next_number_ = 2;
  std::vector<QPointer<vireon::TPlotForm>> windows_;
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
  vireon::TTestForm main_form({
      .driver = *devices.catalog,
      .devices = vireon::DefaultStationDevices(*devices.catalog),
      .data_directory = data_directory,
      .driver_error_text = [&devices] { return devices.DriverErrorText(); },
      .show_message = vireon::ShowOkMessage,
      .end_debug_log = [&debug_log] { debug_log.Close(); },
  });

  const vireon::FileContext files;
  vireon::PlotFormContext plot_context{files, data_directory, vireon::InteractiveDialogs(), {}};
  SecondaryPlots secondary_plots;
  plot_context.new_secondary_plot = [&secondary_plots, &plot_context] {
    vireon::TPlotForm* window = secondary_plots.New(plot_context);
    window->show();
    return window;
  };
  vireon::TPlotForm primary_plot({vireon::PlotRoleKind::Primary, 0}, plot_context);
  main_form.SetPrimaryPlot(&primary_plot, vireon::DefaultPlotRecord(files.Defaults));

  // The plot window at the top left with the main window below it.
  const QPoint origin = QGuiApplication::primaryScreen() != nullptr
                            ? QGuiApplication::primaryScreen()->availableGeometry().topLeft()
                            : QPoint();
  primary_plot.resize(703, 400);
  primary_plot.move(origin);
  primary_plot.show();
  main_form.move(primary_plot.frameGeometry().bottomLeft() + QPoint(0, 10));
  main_form.show();
  secondary_plots.SetPlacement(primary_plot.frameGeometry().topRight() + QPoint(10, 0),
                               primary_plot.size());

  // Files named on the command line open once the event loop runs, each in a window of its
  // own that is shown only when the file loads.
  for (const QString& argument : options.positionalArguments()) {
    const std::filesystem::path file(argument.toStdString());
    QTimer::singleShot(0, &app, [&secondary_plots, &plot_context, file] {
      vireon::TPlotForm* window = secondary_plots.New(plot_context);
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
