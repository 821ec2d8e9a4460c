#include "config/ConfigBindings.h"

#include <algorithm>
#include <optional>
#include <stdexcept>

#include "config/IniValues.h"

namespace vireon {
namespace {

std::optional<int> Parse(std::string_view text, int*) { return ParseIniInteger(text); }
std::optional<double> Parse(std::string_view text, double*) { return ParseIniFloat(text); }
std::optional<bool> Parse(std::string_view text, bool*) { return ParseIniBool(text); }
std::optional<std::string> Parse(std::string_view text, std::string*) { return std::string(text); }

std::string Format(int value) { return FormatIniInteger(value); }
std::string Format(double value) { return FormatIniFloat(value); }
std::string Format(bool value) { return FormatIniBool(value); }
std::string Format(const std::string& value) { return value; }

template <typename T>
struct Range {
  T min;
  T max;
};

// One implementation for every type: parse, then limit to the range (or refuse), then store.
template <typename T>
BoundValue MakeBoundValue(ConfigType type, std::function<T(int)> get,
                          std::function<void(int, T)> set, std::optional<Range<T>> range) {
  auto text = [get = std::move(get)](int index) { return Format(get(index)); };
  auto store = [set = std::move(set), range](int index, std::string_view text, RangePolicy policy) {
    std::optional<T> value = Parse(text, static_cast<T*>(nullptr));
    if (!value) return StoreResult::kUnparsable;
    if (range) {
      const T limited = std::clamp(*value, range->min, range->max);
      if (limited != *value && policy == RangePolicy::kReject) return StoreResult::kOutOfRange;
      value = limited;
    }
    set(index, std::move(*value));
    return StoreResult::kStored;
  };
  return BoundValue{type, std::move(text), std::move(store)};
}

template <typename Get, typename Set>
void RequireAccessors(const Get& get, const Set& set) {
  if (!get || !set) throw std::logic_error("configuration binding without getter or setter");
}

template <typename T>
BoundValue MakePlain(ConfigType type, std::function<T()> get, std::function<void(T)> set,
                     std::optional<Range<T>> range) {
  RequireAccessors(get, set);
  return MakeBoundValue<T>(
      type, [get = std::move(get)](int) { return get(); },
      [set = std::move(set)](int, T value) { set(std::move(value)); }, range);
}

template <typename T>
void RequireRange(T min, T max) {
  if (!(min <= max)) throw std::logic_error("configuration binding with an empty range");
}

}  // namespace

void ConfigBindings::Add(std::string_view section, std::string_view key, bool counted,
                         BoundValue value) {
  const ConfigKey* entry = FindConfigKey(file_, section, key);
  const std::string name = std::string(section) + "/" + std::string(key);
  if (entry == nullptr) throw std::logic_error("no configuration key " + name);
  if (IsVersionKey(*entry)) {
    throw std::logic_error("the version key is written by the configuration walk");
  }
  if (IsAcqSectionCountKey(*entry)) {
    throw std::logic_error("the per-acquisition section count is kept by the configuration walk");
  }
  if (entry->type != value.type) throw std::logic_error("wrong type bound to " + name);
  if (entry->count_key.empty() == counted) {
    throw std::logic_error(name + (counted ? " is not a counted key" : " is a counted key"));
  }
  if (!bound_.emplace(entry, std::move(value)).second) {
    throw std::logic_error(name + " is bound twice");
  }
}

void ConfigBindings::Bind(std::string_view section, std::string_view key, int& value, int min,
                          int max) {
  BindInteger(
      section, key, [&value] { return value; }, [&value](int v) { value = v; }, min, max);
}

void ConfigBindings::Bind(std::string_view section, std::string_view key, double& value, double min,
                          double max) {
  BindFloat(
      section, key, [&value] { return value; }, [&value](double v) { value = v; }, min, max);
}

void ConfigBindings::Bind(std::string_view section, std::string_view key, bool& value) {
  BindBool(
      section, key, [&value] { return value; }, [&value](bool v) { value = v; });
}

void ConfigBindings::Bind(std::string_view section, std::string_view key, std::string& value) {
  BindString(
      section, key, [&value] { return value; }, [&value](std::string v) { value = std::move(v); });
}

void ConfigBindings::BindInteger(std::string_view section, std::string_view key,
                                 std::function<int()> get, std::function<void(int)> set, int min,
                                 int max) {
  RequireRange(min, max);
  Add(section, key, false,
      MakePlain<int>(ConfigType::kInteger, std::move(get), std::move(set), Range<int>{min, max}));
}

void ConfigBindings::BindFloat(std::string_view section, std::string_view key,
                               std::function<double()> get, std::function<void(double)> set,
                               double min, double max) {
  RequireRange(min, max);
  Add(section, key, false,
      MakePlain<double>(ConfigType::kDouble, std::move(get), std::move(set),
                        Range<double>{min, max}));
}

void ConfigBindings::BindBool(std::string_view section, std::string_view key,
                              std::function<bool()> get, std::function<void(bool)> set) {
  Add(section, key, false,
      MakePlain<bool>(ConfigType::kBool, std::move(get), std::move(set), std::nullopt));
}

void ConfigBindings::BindString(std::string_view section, std::string_view key,
                                std::function<std::string()> get,
                                std::function<void(std::string)> set) {
  Add(section, key, false,
      MakePlain<std::string>(ConfigType::kString, std::move(get), std::move(set), std::nullopt));
}

void ConfigBindings::BindCountedInteger(std::string_view section, std::string_view stem,
                                        std::function<int(int)> get,
                                        std::function<void(int, int)> set, int min, int max) {
  RequireRange(min, max);
  RequireAccessors(get, set);
  Add(section, stem, true,
      MakeBoundValue<int>(ConfigType::kInteger, std::move(get), std::move(set),
                          Range<int>{min, max}));
}

void ConfigBindings::BindCountedFloat(std::string_view section, std::string_view stem,
                                      std::function<double(int)> get,
                                      std::function<void(int, double)> set, double min,
                                      double max) {
  RequireRange(min, max);
  RequireAccessors(get, set);
  Add(section, stem, true,
      MakeBoundValue<double>(ConfigType::kDouble, std::move(get), std::move(set),
                             Range<double>{min, max}));
}

const BoundValue* ConfigBindings::Find(const ConfigKey& entry) const {
  const auto found = bound_.find(&entry);
  return found == bound_.end() ? nullptr : &found->second;
}

}  // namespace vireon
