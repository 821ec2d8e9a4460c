#pragma once

#include <QObject>
#include <QPointer>

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "config/ProgramPreferences.h"
#include "measure/PrimaryDisplay.h"
#include "plot/ui/TPlotForm.h"
#include "record/DataObj.h"

class QAction;

namespace vireon {

// Shows `record` in `window`: a record the window does not show yet, or one whose data type
// changed since `shown_type`, is set up anew (caption, status text, limits); otherwise the plot
// only redraws.
void ShowResult(TPlotForm& window, TDataMeas& record, std::optional<std::uint8_t>& shown_type);

// The live views of the main form.
enum class LiveRole { kLiveTime, kLiveIR, kAuxPlot };

// One live window: its remembered geometry, whether it exists and its menu item.
struct TLivePFPars {
  QPointer<TPlotForm> plot;  // the window while shown
  int height = 200;
  int width = 200;
  int left = 0;
  int top = 0;
  bool shown = false;
  QAction* menu_item = nullptr;  // checked while shown; owned by LivePlots
  std::string title;             // "Live Time Data", "Live IR Data", "Auxiliary Data"
};

// The live windows: "Live Time Data" shows the pass as captured, "Live IR Data" the time-domain
// result (only while the primary plot does not show that record itself) and "Auxiliary Data" a
// record of its own. Each is opened and closed by its checkable menu item; closing a window
// keeps its place and size for the next opening.
class LivePlots : public QObject {
  Q_OBJECT

 public:
  explicit LivePlots(QObject* parent = nullptr);
  ~LivePlots() override;

  // The windows are made from this context; until it is given the menu items are disabled.
  void SetContext(PlotFormContext context);

  const TLivePFPars& Pars(LiveRole role) const { return pars_[Index(role)]; }
  QAction* MenuItem(LiveRole role) const { return pars_[Index(role)].menu_item; }
  TPlotForm* Window(LiveRole role) const { return pars_[Index(role)].plot.data(); }
  void SetShown(LiveRole role, bool shown);
  // Where a window stands (while shown) or stood when last closed, as the configuration keeps
  // it; a stored place applies from the next opening.
  WindowPlace Place(LiveRole role) const;
  void SetPlace(LiveRole role, const WindowPlace& place);

  // After each pass: the captured pass and the time-domain result.
  void TakeResults(const TDataMeas& live_time, const TDataMeas& time_result);
  // A user stop ended the run: the windows show their initial record again.
  void Reset();
  void SetPrimaryShowsTime(bool shows_time);
  void HideAll();  // the program closes
  // Shows the live windows that are open, as their visibility rule allows.
  void ShowOpen();

 signals:
  void WindowOpened(TPlotForm* window);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // What a live window shows: copies of the results that keep the view the user set.
  struct Shown {
    std::optional<PrimaryDisplay> display;
    std::optional<std::uint8_t> type;
  };
  static constexpr std::size_t Index(LiveRole role) { return static_cast<std::size_t>(role); }
  void Open(LiveRole role);
  void Refresh(LiveRole role);
  void RefreshVisibility();
  void ResetRecords();

  std::optional<PlotFormContext> context_;
  std::array<TLivePFPars, 3> pars_;
  std::array<Shown, 2> shown_;  // LiveTime, LiveIR: the aux window keeps its own record
  bool primary_shows_time_ = false;
};

}  // namespace vireon
