#include "stimulus/AcquisitionCompatibility.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace vireon {
namespace {

// The main window's table of the acquisition types selectable with each stimulus code.
const std::map<int, std::set<int>> kCompatibleTypes = {
    {0, {0, 1, 3, 4, 5, 8, 13, 16, 17, 25, 26}},
    {1, {0, 1, 4, 5, 8, 13}},
    {2, {0, 1, 4, 5, 8, 13}},
    {3, {0, 4, 8, 13}},
    {4, {0, 2, 4, 8, 13}},
    {5, {0, 2, 4, 8, 13}},
    {6, {0, 4, 8}},
    {7, {0, 1, 4, 5, 6, 7}},
    {8, {0, 1, 4, 5, 6, 7}},
    {9, {0, 4, 8, 13}},
    {10, {0, 1, 4, 5, 6, 7, 8, 9, 13, 14, 15}},
    {11, {0, 1, 4, 5, 6, 7, 8, 9, 13, 14, 15}},
    {12, {0}},
    {13, {0, 1, 4, 5, 6, 7, 11, 12}},
    {14, {0, 1, 4, 5, 6, 7, 11, 12}},
    {15, {0, 1, 4, 5, 6, 7, 11, 12}},
    {16, {0, 4, 21, 22}},
    {17, {3}},
    {99, {0, 1, 4, 5, 6, 7, 11, 12}},
};

TEST(AcquisitionCompatibilityTest, MatchesTheTableForEveryPair) {
  for (const auto& [stim, compatible] : kCompatibleTypes) {
    for (int acq = 0; acq <= 27; ++acq) {
      const int held = acq == 27 ? 99 : acq;
      EXPECT_EQ(IsAcquisitionCompatible(stim, held), compatible.contains(held))
          << "stimulus " << stim << ", acquisition " << held;
      EXPECT_EQ(IsAcquisitionCompatible(stim, acq), IsAcquisitionCompatible(stim, held));
    }
  }
}

TEST(AcquisitionCompatibilityTest, FirstCompatibleTypeInListOrder) {
  for (const auto& [stim, compatible] : kCompatibleTypes) {
    EXPECT_EQ(FirstCompatibleAcquisition(stim), *compatible.begin()) << "stimulus " << stim;
  }
}

}  // namespace
}  // namespace vireon
