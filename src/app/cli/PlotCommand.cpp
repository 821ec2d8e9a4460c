#include "app/cli/PlotCommand.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QPdfWriter>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/cli/ExitCodes.h"
#include "app/cli/LoadedRecord.h"
#include "common/AtomicFile.h"
#include "common/VireonError.h"
#include "files/FileContext.h"
#include "plot/Overlays.h"
#include "plot/PlotOptions.h"
#include "plot/PlotPicture.h"
#include "plot/render/ImageFile.h"
#include "plot/render/PlotImage.h"
#include "plot/render/PlotPrint.h"

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
  std::string pdf;
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

// The plot printed on an A4 page in colour lines, as the plot window prints it by default.
void SavePdfAtomically(const TDataMeas& record, const PlotView& view,
                       const std::filesystem::path& file) {
  constexpr int kColorLines = 1;
  const PrintedPlot printed = RenderPrintedPlot(
      record, view, PrintLookFor(PlotOptions{}, PrintColorModeOf(kColorLines), 1));
  QBuffer bytes;
  bytes.open(QIODevice::WriteOnly);
  {
    QPdfWriter pdf(&bytes);
    pdf.setTitle(PrintJobTitle());
    if (!PaintPrintPage(pdf, printed)) throw VireonError("Could not print the plot.");
  }
  WriteFileAtomically(file, std::string_view(bytes.data().constData(),
                                             static_cast<std::size_t>(bytes.data().size())));
}

int RunPlot(const PlotCommandOptions& options) {
  const TDataMeas record = LoadRecordOrThrow(options.file);
  const OverlayLoad overlays = LoadShownOverlays(record);
  PlotView view;
  view.overlays = overlays.matched;
  const HeadlessGuiApplication application;
  if (!options.png.empty()) {
    SavePngAtomically(RenderPlotImage(record, view, PlotOptions{}, options.width, options.height),
                      options.png);
  }
  if (!options.pdf.empty()) SavePdfAtomically(record, view, options.pdf);
  return kExitSuccess;
}

}  // namespace

std::function<int()> AddPlotCommand(CLI::App& app) {
  auto options = std::make_shared<PlotCommandOptions>();
  CLI::App* command =
      app.add_subcommand("plot", "Draw a data file's record as a PNG picture or a PDF printout");
  command->add_option("FILE", options->file, "Data file")->required();
  command->add_option("--width", options->width, "Picture width in pixels (default 703)")
      ->check(CLI::Range(1, kMaxSide));
  command->add_option("--height", options->height, "Picture height in pixels (default 328)")
      ->check(CLI::Range(1, kMaxSide));
  CLI::Option_group* outputs = command->add_option_group("outputs");
  outputs->add_option("--png", options->png, "PNG file to write");
  outputs->add_option("--pdf", options->pdf, "PDF file to write: the plot printed on a page");
  outputs->require_option(1, 2);

  return [command, options]() -> int {
    if (!command->parsed()) return -1;
    return RunPlot(*options);
  };
}

}  // namespace vireon::cli
