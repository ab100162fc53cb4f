// The date and time commands, the time-stamped file lines, the environment
// and the clipboard.
#include "lang/commands.h"
#include "lang/errors.h"
#include "lang/fields.h"
#include "lang/process.h"
#include "lang/run.h"
#include "lang/run_log.h"
#include "util/codepage.h"
#include "util/file_io.h"
#include "util/i18n.h"

namespace talvex {

namespace {

platform::LocalTime now() {
  return platform::get().clock->now();
}

Text two_digits(int v) {
  return padded_number(v, 2);
}

// Each date and time part takes the whole parameter text as the name of the
// variable that receives it.
void cmd_get_date(Run& run, TextView var) {
  run.store.set(var, format_short_date(now()));
}
void cmd_get_time(Run& run, TextView var) {
  run.store.set(var, format_long_time(now()));
}
void cmd_year(Run& run, TextView var) {
  run.store.set(var, int_to_text(now().year));
}
void cmd_month(Run& run, TextView var) {
  run.store.set(var, two_digits(now().month));
}
void cmd_day(Run& run, TextView var) {
  run.store.set(var, two_digits(now().day));
}
void cmd_day_of_week(Run& run, TextView var) {
  run.store.set(var, int_to_text(now().day_of_week));
}
void cmd_hour(Run& run, TextView var) {
  run.store.set(var, two_digits(now().hour));
}
void cmd_minute(Run& run, TextView var) {
  run.store.set(var, two_digits(now().minute));
}
void cmd_second(Run& run, TextView var) {
  run.store.set(var, two_digits(now().second));
}

Text clock_part(const platform::LocalTime& t) {
  return two_digits(t.hour) + u":" + two_digits(t.minute) + u":" + two_digits(t.second) + u":" +
         padded_number(t.millisecond, 3);
}

void append_stamped(Run& run, TextView params, bool with_date) {
  Fields f(run, params);
  Text file = f.input();
  Text text = f.rest_input();
  platform::LocalTime t = now();
  Text line = with_date ? format_short_date(t) + u":" : Text();
  line += clock_part(t) + u" - " + text + u"\r\n";
  if (!append_file_bytes(file, ansi_encode(line))) {
    file_failure("Cannot open file", file);
  }
}

void cmd_time_stamp(Run& run, TextView params) {
  append_stamped(run, params, false);
}
void cmd_date_stamp(Run& run, TextView params) {
  append_stamped(run, params, true);
}

void cmd_get_env(Run& run, TextView params) {
  Fields f(run, params);
  Text name = f.input();
  // The value is read into a buffer of 255 blanks: a variable that does not
  // exist leaves the blanks.
  std::optional<Text> value = platform::get().system->get_env(name);
  run.store.set(f.rest_raw(), value ? *value : Text(255, u' '));
}

void cmd_set_env(Run& run, TextView params) {
  Fields f(run, params);
  Text name = f.input();
  platform::get().system->set_env(name, f.rest_input());
}

void cmd_get_clipboard(Run& run, TextView var) {
  if (std::optional<Text> text = platform::get().clipboard->text()) run.store.set(var, *text);
}

void cmd_put_clipboard(Run&, TextView text) {
  platform::get().clipboard->set_text(Text(text));
}

// Waits while another program has the clipboard open; it does not process
// events while it waits.
void cmd_wait_clipboard(Run&, TextView) {
  auto& p = platform::get();
  while (p.clipboard->open_elsewhere() && !process().stop.load(std::memory_order_relaxed)) {
    p.clock->sleep_ms(1);
  }
}

constexpr CommandEntry kCommands[] = {
    {u"GDT"_code, cmd_get_date, Params::kRaw},
    {u"GTM"_code, cmd_get_time, Params::kRaw},
    {u"YEA"_code, cmd_year, Params::kRaw},
    {u"MON"_code, cmd_month, Params::kRaw},
    {u"DAY"_code, cmd_day, Params::kRaw},
    {u"DOW"_code, cmd_day_of_week, Params::kRaw},
    {u"HOU"_code, cmd_hour, Params::kRaw},
    {u"MIN"_code, cmd_minute, Params::kRaw},
    {u"SEC"_code, cmd_second, Params::kRaw},
    {u"TIM"_code, cmd_time_stamp, Params::kRaw},
    {u"DAT"_code, cmd_date_stamp, Params::kRaw},
    {u"GEV"_code, cmd_get_env, Params::kRaw},
    {u"SEV"_code, cmd_set_env, Params::kRaw},
    {u"GCB"_code, cmd_get_clipboard, Params::kRaw},
    {u"PUT"_code, cmd_put_clipboard, Params::kWhole},
    {u"WCB"_code, cmd_wait_clipboard, Params::kRaw},
};

}  // namespace

std::span<const CommandEntry> date_commands() {
  return kCommands;
}

}  // namespace talvex
