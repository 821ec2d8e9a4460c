#pragma once

#include <exception>

#include "files/FileContext.h"
#include "record/DataObj.h"

namespace vireon {

// The classes of error a loader can stop with; each gives the user its own message.
enum class LoadFailure {
  kFormat,          // an item that cannot be what the format says: "Invalid File Format! " + step
  kEndOfFile,       // the column block ends early: "File ended unexpectedly!"
  kLinesExhausted,  // a text file runs out of lines or holds a malformed line: "File Format Error!"
  kStreamEnd,       // an importer reads past its numbers: "EOF: Out-of-range"
  kConversion,      // a text that is not the number expected: no message, time stamp -10
};

class LoadError : public std::exception {
 public:
  explicit LoadError(LoadFailure failure) : failure_(failure) {}
  LoadFailure Failure() const { return failure_; }
  const char* what() const noexcept override { return "data file load error"; }

 private:
  LoadFailure failure_;
};

// Shows the message of a failed load; `progress` is the parse step the loader last reached.
void ReportLoadFailure(LoadFailure failure, int progress, TDataMeas& record, MessageSink& messages);

}  // namespace vireon
