#include "stimulus/AcquisitionCompatibility.h"

#include <algorithm>
#include <initializer_list>

namespace vireon {

namespace {

bool In(int value, std::initializer_list<int> set) {
  return std::find(set.begin(), set.end(), value) != set.end();
}

bool Between(int value, int low, int high) { return value >= low && value <= high; }

}  // namespace

// The main window's filters, in their order: later ones override earlier ones where they set the
// flag outright.
bool IsAcquisitionCompatible(int s, int a) {
  if (a == 27) a = 99;
  bool ok = true;
  if (In(a, {10, 18, 19})) ok = false;
  if (In(a, {11, 12}) && In(s, {3, 4, 5, 6, 9, 12})) ok = false;
  if (a == 2 && !In(s, {1, 2, 4, 5})) ok = false;
  if (s == 0 && !In(a, {0, 1, 3, 4, 5, 8, 13, 16, 17, 20, 25, 26})) ok = false;
  if (In(s, {1, 2}) && !In(a, {0, 1, 4, 5, 8, 13, 20})) ok = false;
  if (s == 16 && !In(a, {0, 4, 21, 22, 23, 24})) ok = false;
  if (Between(a, 21, 24) && s != 16) ok = false;
  if (In(a, {23, 24})) ok = false;
  if (In(s, {13, 14, 15, 99}) && (In(a, {2, 3, 8, 9, 10, 99}) || Between(a, 13, 19))) {
    ok = false;
  }
  if (In(s, {3, 4, 5, 6, 9, 12, 16}) && !In(a, {0, 2, 4, 8, 9, 13, 14, 21, 22, 23, 24})) {
    ok = false;
  }
  if (In(s, {6, 12}) && !In(a, {0, 4, 8})) ok = false;
  if (In(s, {10, 11}) && (In(a, {2, 3, 11, 12, 99}) || Between(a, 16, 20))) ok = false;
  if (s == 9 && !In(a, {0, 4, 8, 13, 14, 15})) ok = false;
  if (In(s, {7, 8}) && !In(a, {0, 1, 4, 5, 6, 7, 20})) ok = false;
  if (In(a, {14, 15})) ok = In(s, {10, 11});  // component tracking needs the two-tone MLS
  if (In(s, {4, 5}) && !In(a, {0, 2, 4, 8, 13})) ok = false;
  if (s == 3 && !In(a, {0, 4, 8, 13})) ok = false;
  if (s == 17) ok = false;
  if (In(a, {25, 26}) && s != 0) ok = false;
  if (a == 20) ok = false;
  if (s == 17 && a == 3) ok = true;
  if (s == 12) ok = a == 0;
  return ok;
}

std::optional<int> FirstCompatibleAcquisition(int stim_code) {
  for (int a = 0; a <= 26; ++a) {
    if (IsAcquisitionCompatible(stim_code, a)) return a;
  }
  if (IsAcquisitionCompatible(stim_code, 99)) return 99;
  return std::nullopt;
}

}  // namespace vireon
