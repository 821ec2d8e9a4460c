#pragma once

#include <cstdint>
#include <vector>

#include "record/AnalysisContext.h"
#include "record/DataObj.h"

namespace vireon {

// Fractional-octave bands on the grid 1000·2^(c·k) Hz, each spanning centre·2^(∓c/2).
struct BandLayout {
  double Octaves = 1.0;  // band width c
  std::vector<double> Centres;
  double Lower(std::size_t band) const;
  double Upper(std::size_t band) const;
};

// Bands from the first whose lower edge is at or below `lower` up to `upper`.
BandLayout MakeBandLayout(double upper, double lower, double octaves);

// Weight of each FFT bin (width bin_width, bins 0..bin_count-1) in one band: whole bins inside
// count 1, a bin cut by an edge counts the logarithmic share of it inside the band.
struct BandBins {
  std::size_t First = 0;
  std::vector<double> Weights;
};
std::vector<BandBins> BandBinWeights(const BandLayout& layout, double bin_width,
                                     std::size_t bin_count);

// 1/N-octave band levels (RMS) of one or two channels of a sampled source, averaged into the
// target (data type 4) under its averaging type.
void OctaveBands(TDataMeas& target, const TDataMeas& source, double upper, double lower,
                 double octaves, AnalysisContext& context);

// 1/N-octave transfer function A/B of a two-channel sampled source with its coherence.
void OctaveBandResponse(TDataMeas& target, const TDataMeas& source, double upper, double lower,
                        double octaves, AnalysisContext& context);

}  // namespace vireon
