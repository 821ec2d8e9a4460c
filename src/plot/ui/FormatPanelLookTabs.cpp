// The format panel's "Weights", "Delay" and "Colors" tabs.

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

#include "files/WeightingFile.h"
#include "plot/render/DisplayListPainter.h"
#include "plot/render/QtTextMeasure.h"
#include "plot/ui/FormatPanelWidgets.h"
#include "plot/ui/PlotFormatPanel.h"
#include "plot/ui/TEditRealSpin.h"
#include "record/NumericHelpers.h"

namespace vireon {
namespace {

using namespace format_panel;  // NOLINT: the page builders

constexpr std::string_view kWeightFilter =
    "Weight curve files (*.frd,*.wgt,*.dat))|*.frd;*.wgt;*.dat";
constexpr double kOffsetStep = 0.05;            // dB
constexpr double kDelayStep = 1.0 / 1920000.0;  // a tenth of a sample at 192 kHz
constexpr double kLowestOffset = -400.0;        // the dB range a factor is built from
constexpr double kHighestOffset = 250.0;
constexpr int kWidestTrace = 20;

// The inverse of ToQColor: red in the low byte.
PlotColor PlotColorOf(const QColor& color) {
  return static_cast<PlotColor>(color.red()) | static_cast<PlotColor>(color.green()) << 8 |
         static_cast<PlotColor>(color.blue()) << 16;
}

}  // namespace

void PlotFormatPanel::BuildWeightsPage() {
  WeightsPage& p = weights_;
  p.page = NewPage(this);
  const QString needs_editor = QStringLiteral("Needs the weight file editor, not available yet");
  ShowUnavailable(AddWidget<QPushButton>(p.page, QStringLiteral("Edit")), needs_editor);
  ShowUnavailable(AddWidget<QPushButton>(p.page, QStringLiteral("Normalize")), needs_editor);
  p.load = AddWidget<QPushButton>(p.page, QStringLiteral("Load"));
  p.name = AddLabel(p.page, QStringLiteral("<none>"));
  p.name->setObjectName(QStringLiteral("WeightFile"));
  p.load->installEventFilter(this);  // a right button press removes the weighting
  p.name->installEventFilter(this);
  connect(p.load, &QPushButton::clicked, this, [this] {
    if (record_ == nullptr) return;
    // A record that cannot be weighted loses its weighting without asking for a file.
    const std::vector<std::filesystem::path> files =
        TakesWeightingFile(*record_)
            ? dialogs_.open_files(QStringLiteral("Select Weight Curve file (or Cancel for none)"),
                                  kWeightFilter, false)
            : std::vector<std::filesystem::path>{};
    if (files.empty()) {
      RemoveWeighting();
    } else {
      LoadWeighting(files.front());
    }
  });
}

void PlotFormatPanel::LoadWeighting(const std::filesystem::path& file) {
  Apply([&](TDataMeas& r) {
    r.FWeighting = LoadWeightingFile(file, true, messages_);
    if (!r.FWeighting) messages_.ShowMessage("The weighting file has errors and cannot be used.");
    return true;
  });
}

void PlotFormatPanel::RemoveWeighting() {
  Apply([](TDataMeas& r) {
    r.FWeighting.reset();
    return true;
  });
}

void PlotFormatPanel::BuildDelayPage() {
  DelayPage& p = delay_;
  p.page = NewPage(this);
  p.offset = AddEntry(p.page, QStringLiteral("Offset"));
  p.offset->SetUnits(QStringLiteral("dB"));
  p.offset->SetMinValue(kLowestOffset);
  p.offset->SetMaxValue(kHighestOffset);
  p.phase_invert = AddWidget<QCheckBox>(p.page, QStringLiteral("PhaseInv"));
  connect(p.phase_invert, &QCheckBox::clicked, this, [this](bool on) {
    options_.PhaseInvert = on;
    emit OptionsEdited(options_);
  });
  p.delay = AddEntry(p.page, QStringLiteral("Delay Remove"));
  p.delay->SetUnits(QStringLiteral("s"));
  for (auto [entry, step] : {std::pair{p.offset, kOffsetStep}, std::pair{p.delay, kDelayStep}}) {
    entry->SetStepMode(StepModeT::smReal);
    entry->SetRealInc(step);
  }
  // The offset scales every value the plot reads; the delay compensation turns the phase.
  connect(p.offset, &TEditRealSpin::OnValChange, this, [this, entry = p.offset] {
    Apply([&](TDataMeas& r) {
      r.FDisplayScale = FromDb(entry->RealValue());
      return true;
    });
  });
  connect(p.delay, &TEditRealSpin::OnValChange, this, [this, entry = p.delay] {
    Apply([&](TDataMeas& r) {
      r.FDisplayDelay = entry->RealValue();
      return true;
    });
  });
}

std::optional<PlotColor> PlotFormatPanel::ChooseColor(PlotColor current, const QString& title) {
  const QColor chosen = dialogs_.choose_color(ToQColor(current), title);
  if (!chosen.isValid()) return std::nullopt;
  return PlotColorOf(chosen);
}

void PlotFormatPanel::BuildColorsPage() {
  ColorsPage& p = colors_;
  p.page = NewPage(this);
  for (int trace = 0; trace < 2; ++trace) {
    const QString caption = trace == 0 ? QStringLiteral("Trace A") : QStringLiteral("Trace B");
    const std::size_t slot = trace == 0 ? 3 : 4;  // the record's trace colours
    connect(AddWidget<QPushButton>(p.page, caption), &QPushButton::clicked, this,
            [this, caption, slot] {
              if (record_ == nullptr) return;
              const std::optional<PlotColor> color = ChooseColor(record_->FColors[slot], caption);
              if (!color) return;
              Apply([&](TDataMeas& r) {
                r.FColors[slot] = *color;
                return true;
              });
            });
  }
  // Background and grid are the control's colours; the plot copies them into the record.
  const auto add_control_colour = [&](const QString& caption, std::size_t slot,
                                      void (PlotFormatPanel::*chosen)(quint32)) {
    connect(AddWidget<QPushButton>(p.page, caption), &QPushButton::clicked, this,
            [this, caption, slot, chosen] {
              if (record_ == nullptr) return;
              const std::optional<PlotColor> color = ChooseColor(record_->FColors[slot], caption);
              if (color) emit(this->*chosen)(*color);
            });
  };
  add_control_colour(QStringLiteral("Background"), 0, &PlotFormatPanel::BackColorChosen);
  add_control_colour(QStringLiteral("Gridlines"), 1, &PlotFormatPanel::GridColorChosen);

  // The background picture: shown at all, and tiled rather than stretched.
  p.use_bitmap = AddWidget<QCheckBox>(p.page, QStringLiteral("Use BMP"));
  p.tile = AddWidget<QCheckBox>(p.page, QStringLiteral("Tile"));
  connect(p.use_bitmap, &QCheckBox::clicked, this, [this](bool on) {
    options_.UseCustomBitmap = on;
    emit OptionsEdited(options_);
  });
  connect(p.tile, &QCheckBox::clicked, this, [this](bool on) {
    options_.CustomBitmapStretched = !on;
    emit OptionsEdited(options_);
  });

  AddLabel(p.page, QStringLiteral("TraceWidth"));
  p.trace_width = {AddEntry(p.page, QStringLiteral("trace A")),
                   AddEntry(p.page, QStringLiteral("trace B"))};
  for (const bool trace_a : {true, false}) {
    TEditRealSpin* entry = p.trace_width[trace_a ? 0 : 1];
    entry->SetIntOnly(true);
    entry->SetMinValue(1);
    entry->SetMaxValue(kWidestTrace);
    entry->SetShowUnits(false);
    connect(entry, &TEditRealSpin::OnValChange, this, [this, entry, trace_a] {
      (trace_a ? options_.TraceWidth : options_.TraceWidthB) = static_cast<int>(entry->RealValue());
      emit OptionsEdited(options_);
    });
  }
}

void PlotFormatPanel::ShowLook() {
  weights_.name->setText(PlotText(WeightingCaption(*record_)));
  delay_.offset->SetRealValue(ToDb(record_->FDisplayScale));
  delay_.delay->SetRealValue(record_->FDisplayDelay);
}

}  // namespace vireon
