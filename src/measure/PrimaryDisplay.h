#pragma once

#include <array>
#include <optional>

#include "measure/AcquisitionTypes.h"
#include "measure/AcquisitionViews.h"
#include "plot/PlotFormat.h"
#include "record/DataObj.h"

namespace vireon {

// The records the primary plot shows: copies of the controller's latest frequency-domain and
// time-domain results, kept by the main window so that the plot's view of a result survives the
// next pass, and which of the two is shown ("TIMEFREQ", the plot's domain button). Each
// acquisition type keeps the views of its results: switching back to a type shows its results
// as they were shown when it was left.
class PrimaryDisplay {
 public:
  using Domain = ResultDomain;

  // Shown in the time domain until the first result arrives; `load_weighting` finds the
  // weighting curves the kept views name.
  PrimaryDisplay(TDataMeas initial, WeightingLoader load_weighting, int acq_type);

  // Takes the latest results; an empty record leaves that domain's result as it was. A result
  // gets a new view when it is the first of its domain (since the acquisition type was chosen)
  // or its data type or columns changed, else the view of the result it replaces. A new view
  // is the loaded pre-format when it is for the result's data type (used once), else the view
  // kept for the acquisition type when that was of the same data type, else the default view.
  void TakeResults(const TDataMeas& frequency, const TDataMeas& time);

  // Keeps the views of the shown results for the type left; the next results get new views.
  void SelectAcquisition(int acq_type);
  // "Load Pre-Format..": the format the next result of its data type is shown with.
  void SetPreFormat(PlotFormat format) { pre_format_ = std::move(format); }

  // The views kept for every type, the current type's taken from the results it shows, as the
  // configuration saves them.
  AcquisitionViews KeptViews() const;
  // Takes the views a configuration read, those that can be shown; a view of the current type
  // that differs from the one its result is shown in is put on that domain's next result.
  void SetKeptViews(const AcquisitionViews& views);

  // The chosen domain's record, or the other one's while the chosen one has no result yet. Each
  // domain's record keeps its address for as long as the display lives.
  TDataMeas& Shown();
  Domain ShownDomain() const;
  // The domain to show from now on, also when its first result is still to come.
  void SetDomain(Domain domain) { domain_ = domain; }
  bool CanToggle() const;  // both domains have a result
  void Toggle();

 private:
  // One domain's result, with the view each acquisition type last showed it in.
  struct Slot {
    TDataMeas record;
    bool has_result = false;
    bool new_view = true;  // the next result gets a new view
    AcquisitionViews::Kept kept;
  };
  Slot& SlotOf(Domain domain) { return domain == Domain::kTime ? time_ : frequency_; }
  const Slot& SlotOf(Domain domain) const { return domain == Domain::kTime ? time_ : frequency_; }
  void Refresh(Slot& slot, const TDataMeas& result);
  void ApplyNewView(const Slot& slot, TDataMeas& result);
  // The view the current type's result is shown in; none until that type has a result.
  std::optional<PlotFormat> ShownView(const Slot& slot) const;

  WeightingLoader load_weighting_;
  int format_index_;  // of the current acquisition type's kept views
  std::optional<PlotFormat> pre_format_;
  Slot frequency_;
  Slot time_;
  Domain domain_ = Domain::kTime;
};

}  // namespace vireon
