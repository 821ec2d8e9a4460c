#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "config/ConfigKeys.h"

namespace vireon {

// How a value taken from text is stored when it lies outside its range.
enum class RangePolicy { kClamp, kReject };
enum class StoreResult { kStored, kUnparsable, kOutOfRange };

// The text face of one bound setting; `index` is the index of a counted key (0 otherwise).
struct BoundValue {
  ConfigType type;
  std::function<std::string(int index)> text;
  std::function<StoreResult(int index, std::string_view text, RangePolicy policy)> store;
};

// Ties the settings of the program's parts to entries of one file's key table. Binding a key the
// table does not hold, binding one twice or with the wrong type is a programming error and throws
// std::logic_error. The bound values must outlive the bindings.
class ConfigBindings {
 public:
  explicit ConfigBindings(ConfigFile file) : file_(file) {}

  void Bind(std::string_view section, std::string_view key, int& value, int min, int max);
  void Bind(std::string_view section, std::string_view key, double& value, double min, double max);
  void Bind(std::string_view section, std::string_view key, bool& value);
  void Bind(std::string_view section, std::string_view key, std::string& value);

  // Values that live elsewhere (dialog controls): read through `get`, stored through `set`.
  void BindInteger(std::string_view section, std::string_view key, std::function<int()> get,
                   std::function<void(int)> set, int min, int max);
  void BindFloat(std::string_view section, std::string_view key, std::function<double()> get,
                 std::function<void(double)> set, double min, double max);
  void BindBool(std::string_view section, std::string_view key, std::function<bool()> get,
                std::function<void(bool)> set);
  void BindString(std::string_view section, std::string_view key, std::function<std::string()> get,
                  std::function<void(std::string)> set);

  // Counted keys (stem + index); the count is the value of the table's count key.
  void BindCountedInteger(std::string_view section, std::string_view stem,
                          std::function<int(int index)> get,
                          std::function<void(int index, int value)> set, int min, int max);
  void BindCountedFloat(std::string_view section, std::string_view stem,
                        std::function<double(int index)> get,
                        std::function<void(int index, double value)> set, double min, double max);

  ConfigFile File() const { return file_; }
  // The binding of a table entry; nullptr when no code binds it.
  const BoundValue* Find(const ConfigKey& entry) const;

 private:
  void Add(std::string_view section, std::string_view key, bool counted, BoundValue value);

  ConfigFile file_;
  std::map<const ConfigKey*, BoundValue> bound_;
};

}  // namespace vireon
