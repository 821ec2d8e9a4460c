#include "stimulus/Envelope.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vireon {

std::vector<float> BuildEnvelope(const EnvelopeSettings& settings) {
  const auto kind = static_cast<EnvelopeKind>(settings.kind);
  if (kind != EnvelopeKind::kRaisedCosine && kind != EnvelopeKind::kCosineSquared &&
      kind != EnvelopeKind::kCustom) {
    return {};
  }
  const int length = std::max(settings.length, 1);
  std::vector<float> table(static_cast<std::size_t>(length), 1.0f);
  if (kind == EnvelopeKind::kCustom || length == 1) return table;
  const double e = -std::numbers::pi / (length - 1);
  for (int i = 0; i < length; ++i) {
    const double c = std::cos(e * ((length - 1) / 2.0 - i));
    table[static_cast<std::size_t>(i)] =
        static_cast<float>(kind == EnvelopeKind::kCosineSquared ? c * c : c);
  }
  return table;
}

}  // namespace vireon
