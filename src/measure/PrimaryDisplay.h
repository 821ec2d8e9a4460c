#pragma once

#include "record/DataObj.h"

namespace vireon {

// The records the primary plot shows: copies of the controller's latest frequency-domain and
// time-domain results, kept by the main window so that the plot's view of a result survives the
// next pass, and which of the two is shown ("TIMEFREQ", the plot's domain button).
class PrimaryDisplay {
 public:
  enum class Domain { kFrequency, kTime };

  // Shown in the time domain until the first result arrives.
  explicit PrimaryDisplay(TDataMeas initial);

  // Takes the latest results; an empty record leaves that domain's result as it was. A result
  // gets the default view when it is the first of its domain or its data type or columns
  // changed, else the view of the result it replaces.
  void TakeResults(const TDataMeas& frequency, const TDataMeas& time);

  // The chosen domain's record, or the other one's while the chosen one has no result yet. Each
  // domain's record keeps its address for as long as the display lives.
  TDataMeas& Shown();
  Domain ShownDomain() const;
  // The domain to show from now on, also when its first result is still to come.
  void SetDomain(Domain domain) { domain_ = domain; }
  bool CanToggle() const;  // both domains have a result
  void Toggle();

 private:
  struct Slot {
    TDataMeas record;
    bool has_result = false;
  };
  Slot& SlotOf(Domain domain) { return domain == Domain::kTime ? time_ : frequency_; }
  const Slot& SlotOf(Domain domain) const { return domain == Domain::kTime ? time_ : frequency_; }
  static void Refresh(Slot& slot, const TDataMeas& result);

  Slot frequency_;
  Slot time_;
  Domain domain_ = Domain::kTime;
};

}  // namespace vireon
