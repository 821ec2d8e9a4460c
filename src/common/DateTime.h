#pragma once

#include <optional>
#include <string>

namespace vireon {

// Date-times are stored as days since 30 Dec 1899 in local time; the fraction
// is the time of day.
double NowAsDateTime();

// The calendar fields of such a date-time, to the nearest second; none for values that are not
// finite or lie outside years 1..9999.
struct DateTimeParts {
  int year = 0;
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;
};
std::optional<DateTimeParts> SplitDateTime(double days);

// "yyyy-mm-dd hh:nn:ss" of such a date-time, to the nearest second; none for values that are
// not finite or lie outside years 1..9999.
std::optional<std::string> FormatDateTime(double days);

}  // namespace vireon
