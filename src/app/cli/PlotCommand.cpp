#include "app/cli/PlotCommand.h"

#include <QGuiApplication>
#include <QImage>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/cli/ExitCodes.h"
#include "app/cli/LoadedRecord.h"
#include "files/FileContext.h"
#include "plot/Overlays.h"
#include "plot/PlotOptions.h"
#include "plot/PlotPicture.h"
#include "plot/render/ImageFile.h"
#include "plot/render/PlotImage.h"

namespace vireon::cli {
namespace {

// The plot control's size in a window of the desktop program's default size.
constexpr int kDefaultWidth = 703;
constexpr int kDefaultHeight = 328;
// Large enough for any printout, small enough that the image fits in memory (1 GiB at most).
constexpr int kMaxSide = 16384;

struct PlotCommandOptions {
  std::string file;
  int width = kDefaultWidth;
  int height = kDefaultHeight;
  std::string png;
};

// Fonts need a QGuiApplication. Unless the user chose a platform, it is the offscreen one, so
// that the command runs without a display and never opens a window or talks to a server.
class HeadlessGuiApplication {
 public:
  HeadlessGuiApplication() : arguments_{"vireon-cli"} {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
      arguments_.insert(arguments_.end(), {"-platform", "offscreen"});
    }
    for (std::string& argument : arguments_) argv_.push_back(argument.data());
    argv_.push_back(nullptr);
    argc_ = static_cast<int>(arguments_.size());
    application_ = std::make_unique<QGuiApplication>(argc_, argv_.data());
  }

 private:
  // QGuiApplication keeps references to argc and argv for its whole life.
  std::vector<std::string> arguments_;
  std::vector<char*> argv_;
  int argc_ = 0;
  std::unique_ptr<QGuiApplication> application_;
};

// The record's overlay files, read as the plot window reads them; what the loaders would have
// shown in message boxes goes to stderr, and the plot is drawn with the overlays that loaded.
OverlayLoad LoadShownOverlays(const TDataMeas& record) {
  if (record.FOverlayFlag1 == 0) return {};
  CollectedMessages messages;
  OverlayLoad load = LoadOverlays(record, OverlayEntriesOf(record), FileContext{}, messages);
  for (const std::string& message : messages.Texts()) std::fprintf(stderr, "%s\n", message.c_str());
  return load;
}

int RunPlot(const PlotCommandOptions& options) {
  const TDataMeas record = LoadRecordOrThrow(options.file);
  const OverlayLoad overlays = LoadShownOverlays(record);
  PlotView view;
  view.overlays = overlays.matched;
  const HeadlessGuiApplication application;
  const QImage image = RenderPlotImage(record, view, PlotOptions{}, options.width, options.height);
  SavePngAtomically(image, options.png);
  return kExitSuccess;
}

}  // namespace

std::function<int()> AddPlotCommand(CLI::App& app) {
  auto options = std::make_shared<PlotCommandOptions>();
  CLI::App* command = app.add_subcommand("plot", "Draw a data file's record as a PNG picture");
  command->add_option("FILE", options->file, "Data file")->required();
  command->add_option("--width", options->width, "Picture width in pixels (default 703)")
      ->check(CLI::Range(1, kMaxSide));
  command->add_option("--height", options->height, "Picture height in pixels (default 328)")
      ->check(CLI::Range(1, kMaxSide));
  command->add_option("--png", options->png, "PNG file to write")->required();

  return [command, options]() -> int {
    if (!command->parsed()) return -1;
    return RunPlot(*options);
  };
}

}  // namespace vireon::cli
