#include "common/DateTime.h"

#include <chrono>
#include <ctime>

namespace vireon {

double NowAsDateTime() {
  using namespace std::chrono;
  const auto now = system_clock::now();
  const std::time_t seconds = system_clock::to_time_t(now);
  std::tm local{};
  localtime_r(&seconds, &local);
  const year_month_day today{year{local.tm_year + 1900},
                             month{static_cast<unsigned>(local.tm_mon + 1)},
                             day{static_cast<unsigned>(local.tm_mday)}};
  constexpr year_month_day kEpoch{year{1899}, month{12}, day{30}};
  const double whole_days = static_cast<double>((sys_days(today) - sys_days(kEpoch)).count());
  const double milliseconds_part =
      static_cast<double>(duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000);
  const double day_seconds =
      local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec + milliseconds_part / 1000.0;
  return whole_days + day_seconds / 86400.0;
}

}  // namespace vireon
