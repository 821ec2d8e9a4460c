#include "record/RecordConversion.h"

#include <algorithm>

#include "common/VireonError.h"
#include "record/Conversions.h"
#include "record/Deconvolve.h"
#include "record/FftWindows.h"
#include "record/NumericHelpers.h"
#include "record/OctaveBands.h"
#include "record/TransferFunction.h"
#include "record/TwoChannelSpectrum.h"

namespace vireon {
namespace {

// The lowest band edge the RTA conversion starts from.
constexpr double kRtaLowerLimitHz = 10.0;

void Require(bool condition, const char* message) {
  if (!condition) throw VireonError(message);
}

void RequireTimeRecord(const TDataMeas& record) {
  Require(record.FDataType == 0 && record.FNumPoints >= 16 && record.FSampleRate > 0,
          "This conversion needs a time record of at least 16 samples.");
}

void RequireTwoChannels(const TDataMeas& record) {
  RequireTimeRecord(record);
  Require(record.FNumFields >= 2,
          "This conversion needs a two-channel time record: A (measured) in column 0 and "
          "B (reference) in column 1.");
}

// The gate and window asked for; an empty gate of the record means all of it.
void ApplyGateChoices(TDataMeas& record, const ConversionRequest& request) {
  if (request.gate) {
    record.FWinStart = record.FWinStart2 = request.gate->first;
    record.FWinEnd = record.FWinEnd2 = request.gate->second;
  } else if (record.FWinStart == record.FWinEnd) {
    record.FWinStart = record.FWinStart2 = 0;
    record.FWinEnd = record.FWinEnd2 = record.FNumPoints - 1;
  }
  if (request.window) record.FWindowType = *request.window;
}

TDataMeas ChannelAsRecord(const TDataMeas& source, int column) {
  TDataMeas channel;
  channel.CopyFrom(source);
  if (column != 0) channel.CopyColumn(source, column, 0);
  channel.FNumFields = 1;
  channel.AllocColumns();
  return channel;
}

}  // namespace

TDataMeas ConvertRecord(TDataMeas record, const ConversionRequest& request,
                        AnalysisContext& context) {
  context.FftLength = request.fft_length.value_or(
      static_cast<std::int32_t>(Pow2Floor(std::max(record.FNumPoints, 1))));
  TDataMeas target;
  switch (request.to) {
    case RecordConversion::kFrequencyResponse:
      RequireTimeRecord(record);
      if (request.window || request.gate) {
        ApplyGateChoices(record, request);
        ApplyTimeWindow(record, record.FWindowType, record.FNumPoints, 1.0, 1.0, false, context);
      }
      ToFrequencyResponse(record);
      return record;
    case RecordConversion::kTimeDomain:
      Require((record.FDataType == 1 || record.FDataType == 2 || record.FDataType == 15) &&
                  record.FNumFields > 2 && record.CheckLinearFreq(),
              "This conversion needs a frequency record on an FFT grid (2^k or 2^k+1 points).");
      ToTimeDomain(record, context);
      Require(record.FDataType == 0, "This frequency record does not convert to time data.");
      return record;
    case RecordConversion::kSpectrum:
      RequireTimeRecord(record);
      ApplyGateChoices(record, request);
      ToSpectrum(target, record, false, context);
      return target;
    case RecordConversion::kRta:
      RequireTimeRecord(record);
      OctaveBands(target, record, 0.499 * record.FSampleRate, kRtaLowerLimitHz,
                  1.0 / request.rta_resolution, context);
      return target;
    case RecordConversion::kTransfer:
      RequireTwoChannels(record);
      ApplyGateChoices(record, request);
      TransferFunction(target, record, true, context);
      return target;
    case RecordConversion::kTwoChannelSpectrum:
      RequireTwoChannels(record);
      ApplyGateChoices(record, request);
      context.AcquisitionWindow = record.FWindowType;
      TwoChannelSpectrum(target, record, context);
      return target;
    case RecordConversion::kDeconvolve: {
      RequireTwoChannels(record);
      TDataMeas measured = ChannelAsRecord(record, 0);
      Deconvolve(measured, ChannelAsRecord(record, 1));
      return measured;
    }
  }
  return record;
}

}  // namespace vireon
