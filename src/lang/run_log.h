// The log of a run: lines of the short date, the time as hh:mm:ss:zzz,
// " - " and the text, appended in the ANSI code page with CR LF. The file is
// opened and closed for every line; a line that cannot be written is lost
// without a message.
#pragma once

#include "platform/platform.h"
#include "util/text.h"

namespace talvex {

// A number in decimal with leading zeros to `width` digits.
Text padded_number(int value, int width);

// The runtime's fixed date and time formats (Linux has no per-user short
// date format): yyyy-mm-dd and hh:mm:ss.
Text format_short_date(const platform::LocalTime& t);
Text format_long_time(const platform::LocalTime& t);

struct RunLog {
  Text file;          // empty when logging is off
  bool full = false;  // the log mode: off or full

  bool on() const { return full && !file.empty(); }
  void write(TextView text) const;
};

}  // namespace talvex
