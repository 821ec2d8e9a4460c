#include "measure/ui/LivePlots.h"

#include <QAction>
#include <QCloseEvent>
#include <QEvent>

#include <algorithm>
#include <utility>

#include "config/ui/WindowPlacing.h"
#include "plot/PlotWindowRules.h"
#include "plot/ui/TDataPlot.h"

namespace vireon {
namespace {

constexpr LiveRole kRoles[] = {LiveRole::kLiveTime, LiveRole::kLiveIR, LiveRole::kAuxPlot};

PlotRoleKind KindOf(LiveRole role) {
  switch (role) {
    case LiveRole::kLiveTime:
      return PlotRoleKind::LiveTime;
    case LiveRole::kLiveIR:
      return PlotRoleKind::LiveIR;
    case LiveRole::kAuxPlot:
      return PlotRoleKind::AuxPlot;
  }
  return PlotRoleKind::AuxPlot;
}

}  // namespace

void ShowResult(TPlotForm& window, TDataMeas& record, std::optional<std::uint8_t>& shown_type) {
  if (window.Record() != &record || shown_type != record.FDataType) {
    window.ShowRecord(&record);
    shown_type = record.FDataType;
  } else {
    window.Plot()->Redraw();
  }
}

LivePlots::LivePlots(QObject* parent) : QObject(parent) {
  const char* const titles[] = {"Live Time Data", "Live IR Data", "Auxiliary Data"};
  const char* const names[] = {"LiveTimeData", "LiveIRData", "AuxiliaryData"};
  for (const LiveRole role : kRoles) {
    TLivePFPars& pars = pars_[Index(role)];
    pars.title = titles[Index(role)];
    pars.menu_item = new QAction(QString::fromStdString(pars.title), this);
    pars.menu_item->setObjectName(names[Index(role)]);
    pars.menu_item->setCheckable(true);
    pars.menu_item->setEnabled(false);
    connect(pars.menu_item, &QAction::toggled, this,
            [this, role](bool checked) { SetShown(role, checked); });
  }
}

// The windows show records kept here: they go first.
LivePlots::~LivePlots() {
  for (TLivePFPars& pars : pars_) {
    if (pars.plot) {
      pars.plot->removeEventFilter(this);
      delete pars.plot.data();
    }
  }
}

void LivePlots::SetContext(PlotFormContext context) {
  context_.emplace(std::move(context));
  ResetRecords();
  for (const TLivePFPars& pars : pars_) pars.menu_item->setEnabled(true);
}

void LivePlots::ResetRecords() {
  for (Shown& shown : shown_) {
    // A live view follows one acquisition type and no formats: it loads no weighting.
    shown.display.emplace(
        DefaultPlotRecord(context_->files.Defaults),
        [](const std::string&) { return std::optional<TWeighting>(); }, 0);
    shown.type.reset();
  }
}

void LivePlots::SetShown(LiveRole role, bool shown) {
  TLivePFPars& pars = pars_[Index(role)];
  if (shown == pars.shown || (shown && !context_)) return;
  if (shown) {
    Open(role);
  } else if (pars.plot) {
    pars.plot->close();  // the close event keeps the geometry
  }
}

void LivePlots::Open(LiveRole role) {
  TLivePFPars& pars = pars_[Index(role)];
  auto* window = new TPlotForm({KindOf(role), 0}, *context_);
  PlaceWindow(*window, {pars.left, pars.top, pars.width, pars.height});
  window->installEventFilter(this);
  pars.plot = window;
  pars.shown = true;
  {
    const QSignalBlocker quiet(pars.menu_item);
    pars.menu_item->setChecked(true);
  }
  if (role != LiveRole::kAuxPlot) {
    shown_[Index(role)].type.reset();
    Refresh(role);
  }
  RefreshVisibility();
  emit WindowOpened(window);
}

void LivePlots::Refresh(LiveRole role) {
  TPlotForm* window = Window(role);
  Shown& shown = shown_[Index(role)];
  if (window != nullptr) ShowResult(*window, shown.display->Shown(), shown.type);
}

// The impulse window would repeat what the primary plot shows in the time domain.
void LivePlots::RefreshVisibility() {
  for (const LiveRole role : kRoles) {
    TPlotForm* window = Window(role);
    if (window == nullptr) continue;
    window->setVisible(role != LiveRole::kLiveIR || !primary_shows_time_);
  }
}

void LivePlots::TakeResults(const TDataMeas& live_time, const TDataMeas& time_result) {
  if (!context_) return;
  const TDataMeas none;  // leaves the unused frequency slot alone
  shown_[Index(LiveRole::kLiveTime)].display->TakeResults(none, live_time);
  shown_[Index(LiveRole::kLiveIR)].display->TakeResults(none, time_result);
  Refresh(LiveRole::kLiveTime);
  Refresh(LiveRole::kLiveIR);
}

void LivePlots::Reset() {
  if (!context_) return;
  ResetRecords();
  Refresh(LiveRole::kLiveTime);
  Refresh(LiveRole::kLiveIR);
}

void LivePlots::SetPrimaryShowsTime(bool shows_time) {
  primary_shows_time_ = shows_time;
  RefreshVisibility();
}

void LivePlots::ShowOpen() { RefreshVisibility(); }

void LivePlots::HideAll() {
  for (const TLivePFPars& pars : pars_) {
    if (pars.plot) pars.plot->hide();
  }
}

// A closing window leaves its place and size for the next opening and unchecks its item; it
// frees itself.
WindowPlace LivePlots::Place(LiveRole role) const {
  const TLivePFPars& pars = pars_[Index(role)];
  if (pars.plot != nullptr && pars.plot->isVisible()) {
    return PlaceOf(*pars.plot);
  }
  return {pars.left, pars.top, pars.width, pars.height};
}

void LivePlots::SetPlace(LiveRole role, const WindowPlace& place) {
  if (!place.Stored()) return;
  TLivePFPars& pars = pars_[Index(role)];
  pars.left = place.left;
  pars.top = place.top;
  pars.width = place.width;
  pars.height = std::max(place.height, 1);
}

bool LivePlots::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Close) {
    for (TLivePFPars& pars : pars_) {
      if (pars.plot != watched) continue;
      pars.left = pars.plot->x();
      pars.top = pars.plot->y();
      pars.width = pars.plot->width();
      pars.height = pars.plot->height();
      pars.shown = false;
      pars.plot = nullptr;
      const QSignalBlocker quiet(pars.menu_item);
      pars.menu_item->setChecked(false);
    }
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace vireon
