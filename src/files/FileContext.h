#pragma once

#include <array>
#include <string>
#include <vector>

#include "record/DataObj.h"
#include "record/RecordDefaults.h"

namespace vireon {

// Where the file routines show the texts a message box would show. The desktop program shows
// them; the command line prints them; tests keep them.
class MessageSink {
 public:
  virtual ~MessageSink() = default;
  virtual void ShowMessage(const std::string& text) = 0;
};

class CollectedMessages : public MessageSink {
 public:
  void ShowMessage(const std::string& text) override { texts_.push_back(text); }
  const std::vector<std::string>& Texts() const { return texts_; }

 private:
  std::vector<std::string> texts_;
};

// Program-wide values the loaders fall back on when a file leaves something out.
struct FileContext {
  RecordDefaults Defaults;                                   // vertical default, "TimeLogMagDef"
  OverlayStyles OverlayTable = kDefaultOverlayStyles;        // the "MPTraceColor" table
  std::array<PlotColor, 8> PlotColors = kDefaultPlotColors;  // the program's default colours
  bool UsePrimaryColorsOnOpen = false;                       // "Use Colors of Primary on Open"
};

}  // namespace vireon
