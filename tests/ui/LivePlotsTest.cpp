#include "measure/ui/LivePlots.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QPushButton>

#include <chrono>
#include <string>

#include "MainWindowFixture.h"

namespace vireon {
namespace {

using namespace std::chrono_literals;

using LivePlots = MainWindowFixture;

bool ShowsDefaultRecord(const TPlotForm& window) {
  return window.Record() != nullptr && window.Record()->FTitle == "Default Time Domain Data";
}

// Closing a live window keeps its place and size and unchecks its item; the item opens it again
// where it was.
TEST_F(LivePlots, ReopenAtTheGeometryTheyWereClosedWith) {
  const struct {
    LiveRole role;
    const char* name;
    const char* caption;
  } windows[] = {
      {LiveRole::kLiveTime, "LiveTimeDP", "Live Time Data -vireon-"},
      {LiveRole::kAuxPlot, "AuxDP", "Auxiliary Data -vireon-"},
  };
  for (const auto& w : windows) {
    QAction* item = form_.Live().MenuItem(w.role);
    item->trigger();
    TPlotForm* window = form_.Live().Window(w.role);
    ASSERT_NE(window, nullptr) << w.name;
    EXPECT_TRUE(item->isChecked());
    EXPECT_TRUE(form_.Live().Pars(w.role).shown);
    EXPECT_EQ(window->objectName(), w.name);
    EXPECT_EQ(window->windowTitle(), w.caption);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(ShowsDefaultRecord(*window));

    window->move(130, 90);
    window->resize(520, 410);
    window->close();
    EXPECT_FALSE(item->isChecked());
    EXPECT_EQ(form_.Live().Window(w.role), nullptr);
    EXPECT_FALSE(form_.Live().Pars(w.role).shown);

    item->trigger();
    window = form_.Live().Window(w.role);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->pos(), QPoint(130, 90));
    EXPECT_EQ(window->size(), QSize(520, 410));

    item->trigger();  // unchecking closes it
    EXPECT_EQ(form_.Live().Window(w.role), nullptr);
    const TLivePFPars& pars = form_.Live().Pars(w.role);
    EXPECT_EQ(QRect(pars.left, pars.top, pars.width, pars.height), QRect(130, 90, 520, 410));
  }
}

// A measurement feeds the live time window with each captured pass and the impulse window with
// the time-domain result, which it hides while the primary plot shows that record; the user's
// stop resets both.
TEST_F(LivePlots, FollowARealMeasurementUntilTheUserStops) {
  form_.Live().MenuItem(LiveRole::kLiveTime)->trigger();
  form_.Live().MenuItem(LiveRole::kLiveIR)->trigger();
  TPlotForm* live_time = form_.Live().Window(LiveRole::kLiveTime);
  TPlotForm* live_ir = form_.Live().Window(LiveRole::kLiveIR);
  ASSERT_NE(live_time, nullptr);
  ASSERT_NE(live_ir, nullptr);
  EXPECT_FALSE(live_ir->isVisible());  // the primary shows its initial time record

  Find<QComboBox>(form_, "cStimulus")->setCurrentIndex(5);     // "MLS (synchronous)"
  Find<QComboBox>(form_, "cAcquisition")->setCurrentIndex(8);  // "Freq.Resp. MAG, PHASE"
  Find<QPushButton>(form_, "sbStart")->click();
  ASSERT_TRUE(form_.Controller().Running()) << (messages_.empty() ? "" : messages_.front());
  ASSERT_TRUE(WaitFor([&] { return !ShowsDefaultRecord(*live_time); }, 15s));

  // Between ticks the window shows the pass the controller last captured, sample for sample.
  const TDataMeas& captured = form_.Controller().LiveTimeRec();
  const TDataMeas& shown = *live_time->Record();
  ASSERT_GT(captured.FNumPoints, 0);
  EXPECT_EQ(shown.FNumPoints, captured.FNumPoints);
  EXPECT_EQ(shown.FFields[0].Values, captured.FFields[0].Values);
  EXPECT_TRUE(live_ir->isVisible());  // the primary shows the frequency response
  EXPECT_EQ(live_ir->Record()->FFields[0].Values, form_.Controller().TimeRec().FFields[0].Values);

  Find<QPushButton>(form_, "sbTimeFreq")->click();
  EXPECT_FALSE(live_ir->isVisible());
  Find<QPushButton>(form_, "sbTimeFreq")->click();
  EXPECT_TRUE(live_ir->isVisible());

  ShortcutFor(Qt::Key_Escape)->activated();
  EXPECT_FALSE(form_.Controller().Running());
  EXPECT_TRUE(ShowsDefaultRecord(*live_time));
  EXPECT_TRUE(ShowsDefaultRecord(*live_ir));
  EXPECT_TRUE(messages_.empty()) << messages_.front();
}

}  // namespace
}  // namespace vireon
