#include "common/DateTime.h"

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
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

std::optional<DateTimeParts> SplitDateTime(double days) {
  using namespace std::chrono;
  // 1 Jan 0001 and 31 Dec 9999 as days since 30 Dec 1899: outside them the year has no four
  // digits and the seconds could overflow.
  constexpr double kFirstDay = -693593.0;
  constexpr double kLastDay = 2958466.0;
  if (!(days >= kFirstDay && days < kLastDay)) return std::nullopt;
  const auto seconds = static_cast<std::int64_t>(std::llround(days * 86400.0));
  const sys_seconds moment = sys_days(year(1899) / December / 30) + std::chrono::seconds(seconds);
  const auto day = floor<std::chrono::days>(moment);
  const year_month_day date(day);
  const hh_mm_ss time(moment - day);
  return DateTimeParts{int(date.year()),
                       static_cast<int>(unsigned(date.month())),
                       static_cast<int>(unsigned(date.day())),
                       static_cast<int>(time.hours().count()),
                       static_cast<int>(time.minutes().count()),
                       static_cast<int>(time.seconds().count())};
}

std::optional<std::string> FormatDateTime(double days) {
  const std::optional<DateTimeParts> parts = SplitDateTime(days);
  if (!parts) return std::nullopt;
  char text[64];  // room for any value of the fields, though they are bounded above
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", parts->year, parts->month,
                parts->day, parts->hour, parts->minute, parts->second);
  return text;
}

}  // namespace vireon
