#include "files/LoadError.h"

#include <string>

namespace vireon {

void ReportLoadFailure(LoadFailure failure, int progress, TDataMeas& record,
                       MessageSink& messages) {
  switch (failure) {
    case LoadFailure::kFormat:
      messages.ShowMessage("Invalid File Format! " + std::to_string(progress));
      break;
    case LoadFailure::kEndOfFile:
      messages.ShowMessage("File ended unexpectedly!");
      break;
    case LoadFailure::kLinesExhausted:
      messages.ShowMessage("File Format Error!");
      break;
    case LoadFailure::kStreamEnd:
      messages.ShowMessage("EOF: Out-of-range");
      break;
    case LoadFailure::kConversion:
      record.FTimeStamp = -10.0;
      break;
  }
}

}  // namespace vireon
