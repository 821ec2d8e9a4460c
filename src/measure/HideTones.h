#pragma once

#include <array>
#include <span>
#include <vector>

#include "record/DataObj.h"
#include "stimulus/ToneSet.h"

namespace vireon {

// Removing the fixed stimulus tones from a spectrum, so that what lies between them (noise,
// distortion) can be read.

// The tone frequencies of the outputs chosen for one acquisition channel: [0] output 1 (list P),
// [1] output 2 (list Q).
std::vector<double> TonesToHide(const ToneLists& tones, const std::array<bool, 2>& outputs);

// Replaces the points of a magnitude column whose frequency lies within ±width_hz/2 of a tone by
// the mean, in dB, of the two points just outside that band (the one that exists at an edge).
void HideTones(TDataMeas& spectrum, int column, std::span<const double> tones, double width_hz);

}  // namespace vireon
