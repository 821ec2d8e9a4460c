#include "measure/AcquisitionViews.h"

#include <cmath>
#include <cstddef>
#include <functional>
#include <limits>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

#include "config/ConfigKeys.h"
#include "record/DataTypes.h"

namespace vireon {
namespace {

static_assert(kAcqSectionCount == kAcquisitionItemCount, "one \"AcqMode\" section per list item");

constexpr int kFirstWavelet = 21;
constexpr int kLastWavelet = 24;
constexpr int kMaxDivisions = 40;  // what a plot draws
constexpr int kMaxSymbol = 255;
constexpr int kMaxColor = 0xFFFFFF;
constexpr int kFileOverlays = 5;  // "MC0".."MC4"
constexpr double kAnyDouble = std::numeric_limits<double>::max();
constexpr double kAnyFloat = std::numeric_limits<float>::max();

std::string Numbered(std::string_view stem, std::size_t n) {
  return std::string(stem) + std::to_string(n);
}

// One kept view as the keys of a section see it: a view not kept reads as a blank one, and a key
// read goes into a view of the domain's data type, or nowhere when that is unknown.
struct ViewAccess {
  std::optional<PlotFormat>* view;
  std::optional<std::uint8_t> data_type;

  const PlotFormat& Read() const {
    static const PlotFormat kBlank;
    return *view ? **view : kBlank;
  }
  PlotFormat* Write() const {
    if (!data_type) return nullptr;
    if (!*view || (*view)->DataType != *data_type) {
      *view = PlotFormat{};
      (*view)->DataType = *data_type;
    }
    return &**view;
  }
};

// Binds keys of one section to fields of one view; `field` is a member of the view or a generic
// lambda giving a field of a (const or changeable) view.
class ViewKeys {
 public:
  ViewKeys(ConfigBindings& software, std::string section, ViewAccess access)
      : software_(software), section_(std::move(section)), access_(access) {}

  template <typename Field>
  void Int(const std::string& key, int min, int max, Field field) const {
    software_.BindInteger(
        section_, key,
        [access = access_, field] { return static_cast<int>(std::invoke(field, access.Read())); },
        [access = access_, field](int value) { Store(access, field, value); }, min, max);
  }
  // Any finite value a field of its type holds.
  template <typename Field>
  void Float(const std::string& key, Field field) const {
    using Value = std::remove_cvref_t<decltype(std::invoke(field, std::declval<PlotFormat&>()))>;
    const double limit = std::is_same_v<Value, float> ? kAnyFloat : kAnyDouble;
    software_.BindFloat(
        section_, key,
        [access = access_, field] {
          return static_cast<double>(std::invoke(field, access.Read()));
        },
        [access = access_, field](double value) { Store(access, field, value); }, -limit, limit);
  }
  template <typename Field>
  void Bool(const std::string& key, Field field) const {
    software_.BindBool(
        section_, key, [access = access_, field] { return std::invoke(field, access.Read()); },
        [access = access_, field](bool value) { Store(access, field, value); });
  }
  template <typename Field>
  void String(const std::string& key, Field field) const {
    software_.BindString(
        section_, key, [access = access_, field] { return std::invoke(field, access.Read()); },
        [access = access_, field](std::string value) { Store(access, field, std::move(value)); });
  }
  // Overlay names are written only when set, so names read fill the list from the front.
  void Overlay(std::size_t n) const {
    software_.BindString(
        section_, Numbered("MC", n),
        [access = access_, n] {
          const StringList& names = access.Read().Overlays;
          return n < names.size() ? names[n] : std::string();
        },
        [access = access_, n](std::string name) {
          PlotFormat* view = name.empty() ? nullptr : access.Write();
          if (view == nullptr) return;
          if (n < view->Overlays.size()) {
            view->Overlays[n] = std::move(name);
          } else {
            view->Overlays.push_back(std::move(name));
          }
        });
  }

 private:
  template <typename Field, typename Value>
  static void Store(const ViewAccess& access, const Field& field, Value value) {
    if (PlotFormat* view = access.Write()) {
      auto& target = std::invoke(field, *view);
      target = static_cast<std::remove_reference_t<decltype(target)>>(std::move(value));
    }
  }

  ConfigBindings& software_;
  std::string section_;
  ViewAccess access_;
};

// The keys both views have; the time view's carry the suffix "_T".
void BindSharedKeys(const ViewKeys& keys, const std::string& suffix) {
  keys.Int("Curve0" + suffix, -1, kMaxColumns - 1, &PlotFormat::Curve0);
  keys.Int("Curve1" + suffix, -1, kMaxColumns - 1, &PlotFormat::Curve1);
  for (std::size_t m = 0; m < PlotFormat{}.Mkr.size(); ++m) {
    const auto position = [m](auto& f) -> auto& { return f.Mkr[m]; };
    const auto visible = [m](auto& f) -> auto& { return f.MkrVisible[m]; };
    keys.Float(Numbered("Mkr" + suffix, m), position);
    keys.Bool(Numbered("MkrVisible" + suffix, m), visible);
  }
  keys.Float("HStart" + suffix, &PlotFormat::HStart);
  keys.Float("HStop" + suffix, &PlotFormat::HStop);
  keys.Int("VNumDiv" + suffix, 1, kMaxDivisions, &PlotFormat::VNumDiv);
}

void BindColumnKeys(const ViewKeys& keys, const std::string& suffix) {
  const std::string wrap = suffix.empty() ? "Wrap180_" : "Wrap180" + suffix;
  for (std::size_t c = 0; c < kMaxColumns; ++c) {
    const auto column = [c](auto member) {
      return [=](auto& f) -> auto& { return f.Curves[c].*member; };
    };
    keys.Bool(Numbered("VFormatLog" + suffix, c), column(&CurveFormat::ShowAsDb));
    keys.Float(Numbered("VScale" + suffix, c), column(&CurveFormat::PerDiv));
    keys.Float(Numbered("VRefVal" + suffix, c), column(&CurveFormat::RefValue));
    keys.Int(Numbered("VRefDiv" + suffix, c), 0, kMaxDivisions, column(&CurveFormat::RefDiv));
    keys.Bool(Numbered(wrap, c), column(&CurveFormat::WrapPhase));
  }
}

void BindFrequencyView(ConfigBindings& software, const std::string& section, ViewAccess view) {
  const ViewKeys keys(software, section, view);
  BindSharedKeys(keys, "");
  keys.String("WeightFile", &PlotFormat::WeightFile);
  keys.Float("DelayShift", &PlotFormat::DelayShift);
  keys.Float("XRefVal", &PlotFormat::XRefVal);
  keys.Float("ZScale", &PlotFormat::ZScale);
  keys.String("RefFile", &PlotFormat::RefFile);
  keys.Bool("HFormatLog", &PlotFormat::HFormatLog);
  keys.Bool("HGridLabelDown", &PlotFormat::HGridLabelDown);
  keys.Float("MagOffset", &PlotFormat::MagOffset);
  BindColumnKeys(keys, "");
  keys.Int("ScaledForA", -1, kMaxColumns - 1, &PlotFormat::ScaledForA);
  keys.Int("ScaledForB", -1, kMaxColumns - 1, &PlotFormat::ScaledForB);
  for (std::size_t n = 0; n < kFileOverlays; ++n) keys.Overlay(n);
  keys.Bool("MPUse", &PlotFormat::MPUse);
  keys.Bool("MPShowLegends", &PlotFormat::MPShowLegends);
  for (std::size_t k = 0; k < PlotFormat{}.Identification.size(); ++k) {
    const auto symbol = [k](auto& f) -> auto& { return f.Identification[k].Symbol; };
    const auto colour = [k](auto& f) -> auto& { return f.Identification[k].Color; };
    keys.Int(Numbered("TID", k), 0, kMaxSymbol, symbol);
    keys.Int(Numbered("TrCol", k), 0, kMaxColor, colour);
  }
}

void BindTimeView(ConfigBindings& software, const std::string& section, ViewAccess view) {
  const ViewKeys keys(software, section, view);
  BindSharedKeys(keys, "_T");
  BindColumnKeys(keys, "_T");
}

}  // namespace

int KeptViewItem(int acq_type) {
  if (acq_type >= kFirstWavelet && acq_type <= kLastWavelet) acq_type = kFirstWavelet;
  return ItemOfAcqType(acq_type);
}

// Every time result is a record of samples; the frequency results as the analysis of each type
// makes them.
std::optional<std::uint8_t> ResultDataType(int acq_type, ResultDomain domain) {
  if (domain == ResultDomain::kTime) return kTimeDomain;
  switch (acq_type) {
    case 3:
    case 8:
    case 9:
    case 10:
    case 11:
      return kFrequencyResponse;
    case 4:
      return kSpectrum;
    case 6:
    case 7:
      return kRtaBands;
    case 14:
    case 15:
      return kComponentTrack;
    default:
      return std::nullopt;
  }
}

bool IsShowableView(const PlotFormat& view) {
  return std::isfinite(view.HStart) && std::isfinite(view.HStop) && view.HStart < view.HStop &&
         (!view.HFormatLog || view.HStart > 0.0);
}

void BindAcquisitionViews(ConfigBindings& software, AcquisitionViews& views) {
  for (int item = 0; item < kAcquisitionItemCount; ++item) {
    const int acq_type = AcqTypeOfItem(item);
    const std::string section = Numbered("AcqMode", static_cast<std::size_t>(item));
    const auto n = static_cast<std::size_t>(item);
    BindFrequencyView(software, section,
                      {&views.frequency[n], ResultDataType(acq_type, ResultDomain::kFrequency)});
    BindTimeView(software, section,
                 {&views.time[n], ResultDataType(acq_type, ResultDomain::kTime)});
  }
  const auto wavelet = static_cast<std::size_t>(KeptViewItem(kFirstWavelet));
  BindFrequencyView(
      software, "AcqMode WaveletPrimaryINI",
      {&views.frequency[wavelet], ResultDataType(kFirstWavelet, ResultDomain::kFrequency)});
}

void ForceOldColumnFlags(AcquisitionViews& views) {
  for (AcquisitionViews::Kept* kept : {&views.frequency, &views.time}) {
    for (std::optional<PlotFormat>& view : *kept) {
      if (!view) continue;
      for (std::size_t column = 1; column <= 4 && column < view->Curves.size(); ++column) {
        view->Curves[column].ShowAsDb = true;
        view->Curves[column].WrapPhase = true;
      }
    }
  }
}

}  // namespace vireon
