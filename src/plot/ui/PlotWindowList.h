#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QSize>

#include <optional>
#include <vector>

#include "plot/ui/TPlotForm.h"

namespace vireon {

// The secondary plot windows: numbered "Plot2", "Plot3", ..., the first at a given place and
// each further one 20 pixels right of and below the previous one, within the screen less 100
// pixels. A new window gets the size the user last gave the most recent one. Windows are freed
// when closed, and at the latest with the list.
class PlotWindowList : public QObject {
  Q_OBJECT

 public:
  static constexpr int kStep = 20;
  static constexpr int kScreenMargin = 100;

  // The context's `new_secondary_plot` becomes this list's: every window made from Context()
  // clones into a window of the list.
  explicit PlotWindowList(PlotFormContext context);
  ~PlotWindowList() override;

  const PlotFormContext& Context() const { return context_; }
  // Where the first window goes and the size windows get until the user resizes one.
  void SetPlacement(QPoint first, QSize size);

  TPlotForm* New();  // hidden
  std::vector<TPlotForm*> OpenWindows() const;

 signals:
  void WindowCreated(TPlotForm* window);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  TPlotForm* MostRecent() const;

  PlotFormContext context_;
  QPoint first_;
  QSize size_{703, 400};
  std::optional<QPoint> last_closed_at_;  // where the last window was when it closed
  int next_number_ = 2;
  std::vector<QPointer<TPlotForm>> windows_;
};

}  // namespace vireon
