#include "plot/ui/PlotFormatPanel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>

#include <algorithm>
#include <functional>

#include "plot/PlotAxes.h"
#include "plot/ScaleRules.h"
#include "plot/render/QtTextMeasure.h"
#include "plot/ui/FormatPanelWidgets.h"
#include "plot/ui/TEditRealSpin.h"
#include "record/DataTypes.h"

namespace vireon {
namespace {

using namespace format_panel;  // NOLINT: the page builders

constexpr double kLowestTimeViewValue = -999000.0;
constexpr double kSmallestPerDivision = 1e-12;
constexpr double kLargestPerDivision = 50000.0;
constexpr int kMostDivisions = 40;
constexpr double kWindowTimeStep = 1.0 / 192000.0;  // one sample at the highest rate

QString TraceLetter(int trace) { return trace == 0 ? QStringLiteral("A") : QStringLiteral("B"); }

std::int32_t& TraceColumn(TDataMeas& record, int trace) {
  return trace == 0 ? record.FTraceA : record.FTraceB;
}

}  // namespace

PlotFormatPanel::PlotFormatPanel(MessageSink& messages, QWidget* parent)
    : QTabWidget(parent), messages_(messages), dialogs_(StandardFormatPanelDialogs(this)) {
  BuildHorizontalPage();
  BuildTracePages(0);
  BuildTracePages(1);
  BuildMarkersPage();
  BuildWindowingPage();
  BuildWeightsPage();
  BuildDelayPage();
  BuildTitlePage();
  BuildColorsPage();
  BuildDistortionPage();
  BuildOverlayPages();
  ShowValues();
}

void PlotFormatPanel::Show(TDataMeas* record, const std::string& title,
                           const PlotOptions& options) {
  record_ = record;
  options_ = options;
  live_plot_ = options.LivePlot;
  title_->setText(PlotText(title));
  distortion_percent_->setChecked(options.DistortionAsPercent);
  colors_.trace_width[0]->SetRealValue(options.TraceWidth);
  colors_.trace_width[1]->SetRealValue(options.TraceWidthB);
  delay_.phase_invert->setChecked(options.PhaseInvert);
  colors_.use_bitmap->setChecked(options.UseCustomBitmap);
  colors_.tile->setChecked(!options.CustomBitmapStretched);
  ShowValues();
}

// Every edit goes through here: a change the record refused shows the record's values again.
void PlotFormatPanel::Apply(const std::function<bool(TDataMeas&)>& change) {
  if (record_ == nullptr) return;
  if (change(*record_)) {
    emit RecordEdited();
  } else {
    ShowValues();
  }
}

TFieldType* PlotFormatPanel::Curve(int trace) const {
  if (record_ == nullptr) return nullptr;
  const std::int32_t column = TraceColumn(*record_, trace);
  if (column < 0 || column >= record_->FNumFields) return nullptr;
  return &record_->FFields[static_cast<std::size_t>(column)];
}

void PlotFormatPanel::BuildHorizontalPage() {
  HorizontalPage& p = horizontal_;
  p.page = NewPage(this);
  p.start = AddEntry(p.page, QStringLiteral("Start"), &p.labels[0]);
  p.stop = AddEntry(p.page, QStringLiteral("Stop"), &p.labels[1]);
  p.centre = AddEntry(p.page, QStringLiteral("Center"), &p.centre_labels[0]);
  p.span = AddEntry(p.page, QStringLiteral("Span"), &p.centre_labels[1]);
  p.at_top = AddWidget<QCheckBox>(p.page, QStringLiteral("at Top"));
  p.log = AddWidget<QCheckBox>(p.page, QStringLiteral("Log"));
  p.entry_mode = AddWidget<QPushButton>(p.page, QStringLiteral("Use Cent/Span"));
  for (QLabel* label : p.labels) label->installEventFilter(this);

  const auto value_of = [](TEditRealSpin* entry) { return entry->RealValue(); };
  connect(p.start, &TEditRealSpin::OnValChange, this,
          [=, this] { Apply([&](TDataMeas& r) { return EnterViewStart(r, value_of(p.start)); }); });
  connect(p.stop, &TEditRealSpin::OnValChange, this,
          [=, this] { Apply([&](TDataMeas& r) { return EnterViewStop(r, value_of(p.stop)); }); });
  connect(p.centre, &TEditRealSpin::OnValChange, this, [=, this] {
    Apply([&](TDataMeas& r) { return EnterViewCentre(r, value_of(p.centre)); });
  });
  connect(p.span, &TEditRealSpin::OnValChange, this,
          [=, this] { Apply([&](TDataMeas& r) { return EnterViewSpan(r, value_of(p.span)); }); });
  connect(p.start, &TEditRealSpin::OnClick, this,
          [this] { emit MouseModeRequested(TDPMouseMode::mmSetLHor); });
  connect(p.stop, &TEditRealSpin::OnClick, this,
          [this] { emit MouseModeRequested(TDPMouseMode::mmSetRHor); });
  connect(p.centre, &TEditRealSpin::OnClick, this,
          [this] { emit MouseModeRequested(TDPMouseMode::mmSetCent); });
  connect(p.at_top, &QCheckBox::clicked, this, [this](bool checked) {
    Apply([&](TDataMeas& r) {
      r.FGridFlag = checked ? 0 : 1;
      return true;
    });
  });
  connect(p.log, &QCheckBox::clicked, this, [this](bool checked) {
    Apply([&](TDataMeas& r) {
      r.FLogX = checked ? 1 : 0;
      return true;
    });
  });
  connect(p.entry_mode, &QPushButton::clicked, this, [this] {
    centre_span_ = !centre_span_;
    ShowValues();
  });
}

void PlotFormatPanel::BuildTracePages(int trace) {
  TracePages& p = traces_[static_cast<std::size_t>(trace)];
  const QString letter = TraceLetter(trace);

  p.chooser_page = NewPage(this);
  p.chooser = new QComboBox(p.chooser_page);
  p.chooser->setObjectName(QStringLiteral("Trace") + letter);
  p.chooser_page->layout()->addWidget(p.chooser);
  connect(p.chooser, &QComboBox::activated, this, [this, trace, chooser = p.chooser](int index) {
    Apply([&](TDataMeas& r) {
      TraceColumn(r, trace) = chooser->itemData(index).toInt();
      return true;
    });
  });

  p.scale_page = NewPage(this);
  p.wrap = AddWidget<QCheckBox>(p.scale_page, QStringLiteral("wrap ") + letter);
  auto* auto_v = AddWidget<QPushButton>(p.scale_page, QStringLiteral("AutoV"));
  auto* auto_scale = AddWidget<QPushButton>(p.scale_page, QStringLiteral("Auto ") + letter);
  p.per_div = AddEntry(p.scale_page, QStringLiteral("perDiv ") + letter, &p.per_div_label);
  p.per_div->SetMinValue(kSmallestPerDivision);
  p.per_div->SetMaxValue(kLargestPerDivision);
  p.scale_divisions = AddDivisionsEntry(p.scale_page);
  p.per_div_label->installEventFilter(this);
  auto_v->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(auto_v, &QPushButton::clicked, this,
          [this] { emit AutoScaleRequested(-1, AutoScaleMode::ScaleAndReference); });
  connect(auto_v, &QPushButton::customContextMenuRequested, this,
          [this] { emit SharedAutoScaleRequested(); });
  connect(auto_scale, &QPushButton::clicked, this,
          [this, trace] { emit AutoScaleRequested(trace, AutoScaleMode::Scale); });
  connect(p.wrap, &QCheckBox::clicked, this, [this, trace](bool checked) {
    Apply([&](TDataMeas&) {
      TFieldType* curve = Curve(trace);
      if (curve != nullptr) curve->WrapPhase = checked ? 1 : 0;
      return curve != nullptr;
    });
  });
  connect(p.per_div, &TEditRealSpin::OnValChange, this, [this, trace, entry = p.per_div] {
    Apply([&](TDataMeas&) {
      TFieldType* curve = Curve(trace);
      if (curve != nullptr) curve->PerDiv = entry->RealValue();
      return curve != nullptr;
    });
  });

  p.reference_page = NewPage(this);
  auto* auto_reference = AddWidget<QPushButton>(p.reference_page, QStringLiteral("Auto ") + letter);
  p.ref_val = AddEntry(p.reference_page, QStringLiteral("RefVal ") + letter, &p.ref_val_label);
  p.ref_div = AddEntry(p.reference_page, QStringLiteral("RefDiv ") + letter);
  p.ref_div->SetIntOnly(true);
  p.ref_div->SetMinValue(0);
  p.reference_divisions = AddDivisionsEntry(p.reference_page);
  p.ref_val_label->installEventFilter(this);
  connect(auto_reference, &QPushButton::clicked, this,
          [this, trace] { emit AutoScaleRequested(trace, AutoScaleMode::Reference); });
  connect(p.ref_val, &TEditRealSpin::OnValChange, this, [this, trace, entry = p.ref_val] {
    Apply([&](TDataMeas&) {
      TFieldType* curve = Curve(trace);
      if (curve != nullptr) curve->RefValue = entry->RealValue();
      return curve != nullptr;
    });
  });
  connect(p.ref_div, &TEditRealSpin::OnValChange, this, [this, trace, entry = p.ref_div] {
    Apply([&](TDataMeas&) {
      TFieldType* curve = Curve(trace);
      if (curve != nullptr) curve->RefDiv = static_cast<std::int32_t>(entry->RealValue());
      return curve != nullptr;
    });
  });
}

TEditRealSpin* PlotFormatPanel::AddDivisionsEntry(QWidget* page) {
  TEditRealSpin* entry = AddEntry(page, QStringLiteral("#Div"));
  entry->SetIntOnly(true);
  entry->SetMinValue(1);
  entry->SetMaxValue(kMostDivisions);
  entry->SetShowUnits(false);
  connect(entry, &TEditRealSpin::OnValChange, this, [this, entry] {
    Apply([&](TDataMeas& r) {
      ChangeDivisionCount(r, static_cast<std::int32_t>(entry->RealValue()));
      return true;
    });
  });
  return entry;
}

void PlotFormatPanel::BuildMarkersPage() {
  markers_.page = NewPage(this);
  for (std::size_t i = 0; i < markers_.shown.size(); ++i) {
    QCheckBox* shown =
        AddWidget<QCheckBox>(markers_.page, QStringLiteral("Mkr ") + QString::number(i + 1));
    markers_.shown[i] = shown;
    connect(shown, &QCheckBox::clicked, this, [this, i](bool checked) {
      Apply([&](TDataMeas& r) {
        r.FMarkerOn[i] = checked ? 1 : 0;
        return true;
      });
    });
  }
  auto* all_off = AddWidget<QPushButton>(markers_.page, QStringLiteral("AllOff"));
  connect(all_off, &QPushButton::clicked, this, [this] {
    Apply([](TDataMeas& r) {
      r.FMarkerOn.fill(0);
      return true;
    });
  });
}

// The window's ends follow the mouse's rule: each end only on its own side of the other.
void PlotFormatPanel::BuildWindowingPage() {
  WindowingPage& p = windowing_;
  p.page = NewPage(this);
  AddLabel(p.page, QStringLiteral("(PostProc only)"));
  p.start = AddEntry(p.page, QStringLiteral("Start At"));
  p.stop = AddEntry(p.page, QStringLiteral("Stop At"));
  for (TEditRealSpin* entry : {p.start, p.stop}) {
    entry->SetUnits(QStringLiteral("s"));
    entry->SetStepMode(StepModeT::smReal);
    entry->SetRealInc(kWindowTimeStep);
  }
  auto* all = AddWidget<QPushButton>(p.page, QStringLiteral("All"));
  const auto set_end = [this](TDPMouseMode end, TEditRealSpin* entry) {
    Apply([&](TDataMeas& r) {
      PointerReading reading;
      reading.index = r.IndexOf(entry->RealValue());
      reading.domain = r.XAt(reading.index);
      return ApplyClick(r, end, 0, reading).record_changed;
    });
  };
  connect(p.start, &TEditRealSpin::OnValChange, this,
          [=, start = p.start] { set_end(TDPMouseMode::mmSetLWin, start); });
  connect(p.stop, &TEditRealSpin::OnValChange, this,
          [=, stop = p.stop] { set_end(TDPMouseMode::mmSetRWin, stop); });
  connect(p.start, &TEditRealSpin::OnClick, this,
          [this] { emit MouseModeRequested(TDPMouseMode::mmSetLWin); });
  connect(p.stop, &TEditRealSpin::OnClick, this,
          [this] { emit MouseModeRequested(TDPMouseMode::mmSetRWin); });
  connect(all, &QPushButton::clicked, this, [this] {
    Apply([](TDataMeas& r) {
      r.FWinStart = 0;
      r.FWinEnd = std::max(r.FNumPoints - 1, 0);
      return true;
    });
  });
}

void PlotFormatPanel::BuildTitlePage() {
  title_page_ = NewPage(this);
  title_ = new QLineEdit(title_page_);
  title_->setObjectName(QStringLiteral("TitleText"));
  title_page_->layout()->addWidget(title_);
  connect(title_, &QLineEdit::editingFinished, this, [this] { emit TitleEdited(title_->text()); });
}

void PlotFormatPanel::BuildDistortionPage() {
  distortion_page_ = NewPage(this);
  distortion_percent_ =
      AddWidget<QCheckBox>(distortion_page_, QStringLiteral("Show Distortion As Percent"));
  connect(distortion_percent_, &QCheckBox::clicked, this, [this](bool on) {
    options_.DistortionAsPercent = on;
    emit OptionsEdited(options_);
  });
}

// Label clicks: "perDiv" of a dB trace sets 1 dB, "RefVal" puts 0 dB on the middle line, and
// a double click on "Start" or "Stop" goes back to the record's first or last x.
bool PlotFormatPanel::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonPress &&
      static_cast<QMouseEvent*>(event)->button() == Qt::RightButton &&
      (watched == weights_.load || watched == weights_.name)) {
    RemoveWeighting();
    return true;
  }
  if (event->type() == QEvent::MouseButtonPress) {
    for (int trace = 0; trace < 2; ++trace) {
      const TracePages& p = traces_[static_cast<std::size_t>(trace)];
      if (watched == p.per_div_label) {
        Apply([trace](TDataMeas& r) { return SetOneDbPerDivision(r, trace); });
        return true;
      }
      if (watched == p.ref_val_label) {
        Apply([trace](TDataMeas& r) { return CentreDbReference(r, trace); });
        return true;
      }
    }
  } else if (event->type() == QEvent::MouseButtonDblClick) {
    if (watched == horizontal_.labels[0]) {
      Apply([](TDataMeas& r) { return ResetViewStart(r); });
      return true;
    }
    if (watched == horizontal_.labels[1]) {
      Apply([](TDataMeas& r) { return ResetViewStop(r); });
      return true;
    }
  }
  return QTabWidget::eventFilter(watched, event);
}

QWidget* PlotFormatPanel::PageOf(FormatTab tab) const {
  switch (tab) {
    case FormatTab::Horizontal:
      return horizontal_.page;
    case FormatTab::TraceA:
      return traces_[0].chooser_page;
    case FormatTab::TraceB:
      return traces_[1].chooser_page;
    case FormatTab::VScaleA:
      return traces_[0].scale_page;
    case FormatTab::VScaleB:
      return traces_[1].scale_page;
    case FormatTab::VRefA:
      return traces_[0].reference_page;
    case FormatTab::VRefB:
      return traces_[1].reference_page;
    case FormatTab::Markers:
      return markers_.page;
    case FormatTab::Windowing:
      return windowing_.page;
    case FormatTab::Weights:
      return weights_.page;
    case FormatTab::Delay:
      return delay_.page;
    case FormatTab::Colors:
      return colors_.page;
    case FormatTab::Distortion:
      return distortion_page_;
    case FormatTab::MultiFile:
      return overlays_.file_page;
    case FormatTab::MultiCtl:
      return overlays_.control_page;
    case FormatTab::Title:
      break;
  }
  return title_page_;
}

// The tab set is rebuilt only when it changes, keeping the tab the user is on.
void PlotFormatPanel::ShowTabs(const std::vector<FormatTabEntry>& tabs) {
  if (tabs == shown_tabs_) return;
  QWidget* const current = currentWidget();
  clear();  // takes the pages off the tab bar; they stay this panel's children
  for (const FormatTabEntry& entry : tabs) {
    QWidget* page = PageOf(entry.tab);
    page->setObjectName(QString::fromStdString(entry.caption));
    addTab(page, QString::fromStdString(entry.caption));
  }
  const int kept = indexOf(current);
  if (kept >= 0) setCurrentIndex(kept);
  shown_tabs_ = tabs;
}

void PlotFormatPanel::ShowValues() {
  if (record_ == nullptr) {
    ShowTabs({{FormatTab::Title, "Title"}});
    return;
  }
  ShowTabs(VisibleFormatTabs(*record_, live_plot_));
  ShowHorizontal();
  ShowTrace(0);
  ShowTrace(1);
  for (std::size_t i = 0; i < markers_.shown.size(); ++i) {
    markers_.shown[i]->setChecked(record_->FMarkerOn[i] != 0);
  }
  windowing_.start->SetRealValue(record_->XAt(record_->FWinStart));
  windowing_.stop->SetRealValue(record_->XAt(record_->FWinEnd));
  ShowLook();
  ShowOverlays();
}

void PlotFormatPanel::ShowHorizontal() {
  const HorizontalPage& p = horizontal_;
  const bool time = IsTimeAxisType(record_->FDataType);
  const QString units = time ? QStringLiteral("s") : QStringLiteral("Hz");
  const double lowest = time ? kLowestTimeViewValue : 0.0;
  for (TEditRealSpin* entry : {p.start, p.stop, p.centre}) {
    entry->SetUnits(units);
    entry->SetMinValue(lowest);
  }
  p.span->SetUnits(record_->FLogX != 0 ? QStringLiteral("Oct") : units);
  p.span->SetMinValue(0.0);
  p.start->SetRealValue(record_->FViewStart);
  p.stop->SetRealValue(record_->FViewStop);
  const auto [centre, span] = record_->ViewCenterSpan(false);
  p.centre->SetRealValue(centre);
  p.span->SetRealValue(span);

  for (QWidget* widget : {static_cast<QWidget*>(p.start), static_cast<QWidget*>(p.stop),
                          static_cast<QWidget*>(p.labels[0]), static_cast<QWidget*>(p.labels[1])}) {
    widget->setVisible(!centre_span_);
  }
  for (QWidget* widget :
       {static_cast<QWidget*>(p.centre), static_cast<QWidget*>(p.span),
        static_cast<QWidget*>(p.centre_labels[0]), static_cast<QWidget*>(p.centre_labels[1])}) {
    widget->setVisible(centre_span_);
  }
  p.at_top->setChecked(record_->FGridFlag == 0);
  p.log->setChecked(record_->FLogX != 0);
  p.log->setEnabled(!time);
  p.entry_mode->setText(centre_span_ ? QStringLiteral("Use Start/Stop")
                                     : QStringLiteral("Use Cent/Span"));
}

void PlotFormatPanel::ShowTrace(int trace) {
  const TracePages& p = traces_[static_cast<std::size_t>(trace)];
  p.chooser->clear();
  p.chooser->addItem(QStringLiteral("none"), -1);
  // A sampled record's every column is a curve; otherwise column 0 holds the x values.
  for (int column = record_->IsSampled() ? 0 : 1; column < record_->FNumFields; ++column) {
    p.chooser->addItem(PlotText(record_->FFields[static_cast<std::size_t>(column)].Name), column);
  }
  p.chooser->setCurrentIndex(std::max(p.chooser->findData(TraceColumn(*record_, trace)), 0));

  const TFieldType* curve = Curve(trace);
  if (curve == nullptr) return;
  const std::int32_t divisions = DivisionCount(*record_);
  const QString units = PlotText(curve->Units);
  p.wrap->setVisible(record_->IsPhase(TraceColumn(*record_, trace)));
  p.wrap->setChecked(curve->WrapPhase != 0);
  p.per_div->SetUnits(units);
  p.per_div->SetRealValue(curve->PerDiv);
  p.ref_val->SetUnits(units);
  p.ref_val->SetRealValue(curve->RefValue);
  p.ref_div->SetMaxValue(divisions);
  p.ref_div->SetRealValue(curve->RefDiv);
  p.scale_divisions->SetRealValue(divisions);
  p.reference_divisions->SetRealValue(divisions);
}

}  // namespace vireon
