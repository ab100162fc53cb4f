#include "lang/run_log.h"

#include <cstdio>

#include "util/codepage.h"
#include "util/file_io.h"

namespace talvex {

Text padded_number(int value, int width) {
  Text digits = int_to_text(value);
  if (digits.size() < static_cast<size_t>(width)) digits.insert(0, width - digits.size(), u'0');
  return digits;
}

namespace {

void append_number(Text& out, int v, int width) {
  out += padded_number(v, width);
}

}  // namespace

Text format_short_date(const platform::LocalTime& t) {
  Text out;
  append_number(out, t.year, 4);
  out.push_back(u'-');
  append_number(out, t.month, 2);
  out.push_back(u'-');
  append_number(out, t.day, 2);
  return out;
}

Text format_long_time(const platform::LocalTime& t) {
  Text out;
  append_number(out, t.hour, 2);
  out.push_back(u':');
  append_number(out, t.minute, 2);
  out.push_back(u':');
  append_number(out, t.second, 2);
  return out;
}

void RunLog::write(TextView text) const {
  if (file.empty()) return;
  platform::LocalTime now = platform::get().clock->now();
  Text line = format_short_date(now) + u" " + format_long_time(now) + u":";
  append_number(line, now.millisecond, 3);
  line += u" - ";
  line += text;
  line += u"\r\n";
  append_file_bytes(file, ansi_encode(line));
}

}  // namespace talvex
