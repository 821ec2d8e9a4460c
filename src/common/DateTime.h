#pragma once

namespace vireon {

// Date-times are stored as days since 30 Dec 1899 in local time; the fraction
// is the time of day.
double NowAsDateTime();

}  // namespace vireon
