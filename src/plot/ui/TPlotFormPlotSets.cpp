// The plot window as a member of a PlotSet: windows shown one at a time in one place, chosen by
// a tab strip.
#include <QDropEvent>
#include <QTabBar>

#include <algorithm>
#include <string>
#include <vector>

#include "plot/render/QtText.h"
#include "plot/ui/TDataPlot.h"
#include "plot/ui/TPlotForm.h"

namespace vireon {
namespace {

constexpr int kIsolatedOffset = 20;  // an isolated window moves off the set's place
constexpr const char* kCreateNewPlotRow = "<create new plot>";

}  // namespace

struct TPlotForm::PlotSet {
  std::vector<QPointer<TPlotForm>> members;  // in tab order
};

bool TPlotForm::CanJoinPlotSet() const {
  return role_.kind == PlotRoleKind::Primary || role_.kind == PlotRoleKind::Secondary;
}

std::vector<TPlotForm*> TPlotForm::PlotSetMembers() const {
  std::vector<TPlotForm*> members;
  if (plot_set_ == nullptr) return members;
  for (const QPointer<TPlotForm>& member : plot_set_->members) {
    if (!member.isNull()) members.push_back(member.data());
  }
  return members;
}

void TPlotForm::StartPlotSet() {
  if (!CanJoinPlotSet() || plot_set_ != nullptr) return;
  plot_set_ = std::make_shared<PlotSet>();
  plot_set_->members.push_back(this);
  RefreshPlotSetTabs();
}

void TPlotForm::AddPlotToSet() {
  if (!CanJoinPlotSet()) return;
  std::vector<std::string> rows = {kCreateNewPlotRow, PlotRole{PlotRoleKind::Primary}.Name()};
  std::vector<TPlotForm*> windows = {nullptr, context_.session->primary.data()};
  for (const QPointer<TPlotForm>& window : context_.session->windows) {
    if (window.isNull() || window->Role().kind != PlotRoleKind::Secondary) continue;
    rows.push_back(window->Role().Name());
    windows.push_back(window.data());
  }
  const auto chosen = context_.dialogs.ChooseRow(this, "Add Plot to Set", rows);
  if (!chosen || *chosen >= rows.size()) return;
  TPlotForm* window = windows[*chosen];
  if (*chosen == 0 && context_.new_secondary_plot) window = context_.new_secondary_plot();
  if (window != nullptr) AddToPlotSet(*window);
}

bool TPlotForm::AddToPlotSet(TPlotForm& window) {
  if (&window == this || !CanJoinPlotSet() || !window.CanJoinPlotSet()) return false;
  StartPlotSet();
  if (window.plot_set_ == plot_set_) return false;
  window.LeavePlotSet();
  plot_set_->members.push_back(&window);
  window.plot_set_ = plot_set_;
  for (TPlotForm* member : PlotSetMembers()) member->RefreshPlotSetTabs();
  SelectPlotSetMember(static_cast<int>(PlotSetMembers().size()) - 1);
  return true;
}

void TPlotForm::SelectPlotSetMember(int index) {
  const std::vector<TPlotForm*> members = PlotSetMembers();
  if (index < 0 || static_cast<std::size_t>(index) >= members.size()) return;
  TPlotForm* chosen = members[static_cast<std::size_t>(index)];
  const auto shown = std::find_if(members.begin(), members.end(),
                                  [](const TPlotForm* member) { return member->isVisible(); });
  const QRect place = (shown != members.end() ? *shown : this)->geometry();
  for (TPlotForm* member : members) {
    if (member != chosen) member->hide();
  }
  chosen->setGeometry(place);
  chosen->show();
  chosen->raise();
  chosen->activateWindow();
  // This strip's own tab stays selected for when it shows again.
  const QSignalBlocker quiet(tab_bar_);
  const auto own = std::find(members.begin(), members.end(), this);
  if (own != members.end()) tab_bar_->setCurrentIndex(static_cast<int>(own - members.begin()));
}

void TPlotForm::IsolateFromPlotSet() {
  if (plot_set_ == nullptr) return;
  const std::string question = "Isolate \"" + role_.Name() + "\" from the Plot Set?";
  if (!context_.dialogs.Confirm(this, question)) return;
  const bool had_others = PlotSetMembers().size() > 1;
  LeavePlotSet();
  if (had_others) move(pos() + QPoint(kIsolatedOffset, kIsolatedOffset));
}

void TPlotForm::LeavePlotSet() {
  if (plot_set_ == nullptr) return;
  const std::shared_ptr<PlotSet> set = std::move(plot_set_);
  std::erase_if(set->members, [this](const QPointer<TPlotForm>& member) {
    return member.isNull() || member.data() == this;
  });
  for (const QPointer<TPlotForm>& member : set->members) member->RefreshPlotSetTabs();
  // The set stays where it was: a leaving window that was shown hands its place on.
  if (isVisible() && !set->members.empty()) {
    TPlotForm& next = *set->members.front();
    next.setGeometry(geometry());
    next.show();
    next.raise();
  }
  RefreshPlotSetTabs();
}

void TPlotForm::RefreshPlotSetTabs() {
  const QSignalBlocker quiet(tab_bar_);
  while (tab_bar_->count() > 0) tab_bar_->removeTab(0);
  const std::vector<TPlotForm*> members = PlotSetMembers();
  for (const TPlotForm* member : members) {
    tab_bar_->addTab(QString::fromStdString(member->Role().Name()));
  }
  const auto own = std::find(members.begin(), members.end(), this);
  if (own != members.end()) tab_bar_->setCurrentIndex(static_cast<int>(own - members.begin()));
  tab_bar_->setVisible(!members.empty());
  ApplyGeometryLimits();
}

bool TPlotForm::IsOnTabStrip(const QPoint& window_position) const {
  if (!tab_bar_->isVisible()) return false;
  return QRect(tab_bar_->mapTo(this, QPoint(0, 0)), tab_bar_->size()).contains(window_position);
}

// Another window's plot dragged over this window's tab strip.
TPlotForm* TPlotForm::DraggedWindow(const QDropEvent& event) const {
  const TDataPlot* source = DraggedPlot(event);
  if (source == nullptr || !IsOnTabStrip(event.position().toPoint())) return nullptr;
  return qobject_cast<TPlotForm*>(source->window());
}

}  // namespace vireon
