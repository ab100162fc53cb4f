// The commands that compute values: Let and its arithmetic, the text
// commands, Add and Sub, Random, Base64, RGB and AssignedVariable.
#include <cmath>
#include <cstdio>

#include "lang/commands.h"
#include "lang/errors.h"
#include "lang/expr/expr.h"
#include "lang/fields.h"
#include "lang/process.h"
#include "lang/run.h"
#include "lang/run_log.h"
#include "util/base64.h"
#include "util/codepage.h"
#include "util/i18n.h"
#include "util/numbers.h"

namespace talvex {

namespace {

// The locale's conversion of text to a number: on this runtime the decimal
// separator is always ".", and surrounding blanks are allowed.
std::optional<double> locale_number(TextView s) {
  return parse_number(trim(s));
}

double apply(char16_t op, double l, double r) {
  switch (op) {
    case u'+':
      return checked_float(l + r);
    case u'-':
      return checked_float(l - r);
    case u'*':
      return checked_float(l * r);
    default:
      if (r == 0)
        float_fault(l == 0 ? "Invalid floating point operation"
                           : "Floating point division by zero");
      return checked_float(l / r);
  }
}

void cmd_let(Run& run, TextView a) {
  size_t eq = a.find(u'=');
  if (eq == TextView::npos) {
    report_error(run, tr("Error with Let>") + Text(a) + tr(", = ") + tr("missing."),
                 platform::BoxIcon::kWarning);
    return;
  }
  VarStore& store = run.store;
  TextView name = a.substr(0, eq);
  TextView value = a.substr(eq + 1);
  if (store.ignore_spaces()) {
    name = trim(name);
    value = trim(value);
  }

  if (!value.empty() && value.front() == u'{' && value.back() == u'}') {
    const bool restore = store.ignore_spaces();
    if (restore) store.set(u"IGNORESPACES", u"0");
    std::optional<Text> result = evaluate_braced(run, value.substr(1, value.size() - 2));
    if (restore) store.set(u"IGNORESPACES", u"1");
    if (result) {
      store.set(name, std::move(*result));
    } else {
      request_stop();
    }
    return;
  }

  Text target = name.find(u'%') != TextView::npos ? store.substitute(name, false) : Text(name);

  size_t p = TextView::npos;
  for (char16_t op : {u'+', u'-', u'*', u'/'}) {
    p = a.find(op);
    if (p != TextView::npos) break;
  }
  if (p == TextView::npos) {
    store.set(target, store.substitute(value, true));
  } else {
    // The left operand runs from the "=" to the operator; an operator in the
    // name part leaves it empty.
    TextView left_raw = p > eq ? a.substr(eq + 1, p - eq - 1) : TextView();
    Text left = store.substitute(left_raw, true);
    Text right = store.substitute(a.substr(p + 1), true);
    std::optional<double> l = parse_number(left), r = parse_number(right);
    if (!l || !r) l = locale_number(left), r = locale_number(right);
    if (l && r) {
      store.set(target, format_general(apply(a[p], *l, *r)));
    } else {
      store.set(target, store.substitute(value, true));
    }
  }

  TextView head = a.substr(0, eq);
  if (head == u"RND_SEED") {
    process().random_seed = static_cast<uint32_t>(integer_or_zero(store.substitute(value, true)));
  } else if (head == u"APP_TITLE") {
    process().app_title = store.substitute(value, true);
  }
}

// The current value of the variable named by a Concatenate, Add or Sub field:
// a field with "%" is substituted and names the variable without its first
// and last character; otherwise the field is the name.
struct CurrentValue {
  Text name;
  Text value;
};

CurrentValue current_value(Run& run, TextView field) {
  if (field.find(u'%') != TextView::npos) {
    TextView inner = field.size() >= 2 ? field.substr(1, field.size() - 2) : TextView();
    return {Text(inner), run.store.substitute(field, true)};
  }
  return {Text(field), run.store.substitute(u"%" + Text(field) + u"%", true)};
}

void cmd_concatenate(Run& run, TextView params) {
  Fields f(run, params);
  CurrentValue cur = current_value(run, f.raw());
  run.store.set(cur.name, cur.value + f.rest_input());
}

// The fixed format of Add and Sub: two decimals when there is a fraction.
Text fixed_format(double v) {
  char buf[400];
  if (v == std::trunc(v)) {
    std::snprintf(buf, sizeof buf, "%.0f", v);
  } else {
    std::snprintf(buf, sizeof buf, "%.2f", v);
  }
  std::string s(buf);
  if (s == "-0" || s == "-0.00") s.erase(0, 1);
  return Text(s.begin(), s.end());
}

// Days since 1 January 1970 for a civil date, and back.
int64_t days_from_civil(int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

platform::LocalTime civil_from_days(int64_t z) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  platform::LocalTime t;
  t.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  t.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  t.year = static_cast<int>(static_cast<int64_t>(yoe) + era * 400 + (t.month <= 2));
  return t;
}

// Reads a date in the short date format, yyyy-mm-dd, as a day number.
std::optional<int64_t> parse_short_date(TextView s) {
  s = trim(s);
  if (s.size() != 10 || s[4] != u'-' || s[7] != u'-') return std::nullopt;
  auto num = [&](size_t from, size_t len) -> int {
    int v = 0;
    for (size_t i = from; i < from + len; ++i) {
      if (s[i] < u'0' || s[i] > u'9') return -1;
      v = v * 10 + (s[i] - u'0');
    }
    return v;
  };
  int y = num(0, 4), m = num(5, 2), d = num(8, 2);
  if (y < 1 || m < 1 || m > 12 || d < 1) return std::nullopt;
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  if (d > kDays[m - 1] + (m == 2 && leap ? 1 : 0)) return std::nullopt;
  return days_from_civil(y, static_cast<unsigned>(m), static_cast<unsigned>(d));
}

void add_or_sub(Run& run, TextView params, double sign, const char* command) {
  Fields f(run, params);
  TextView field = f.raw();
  CurrentValue cur = current_value(run, field);
  double amount = parse_number(f.rest_input()).value_or(0.0);
  if (std::optional<double> n = parse_number(cur.value)) {
    run.store.set(field, fixed_format(checked_float(*n + sign * amount)));
    return;
  }
  if (std::optional<int64_t> day = parse_short_date(cur.value)) {
    double moved = static_cast<double>(*day) + sign * amount;
    if (std::isfinite(moved) && std::fabs(moved) < 1e9) {
      platform::LocalTime t = civil_from_days(static_cast<int64_t>(std::floor(moved)));
      if (t.year >= 1 && t.year <= 9999) {
        run.store.set(field, format_short_date(t));
        return;
      }
    }
  }
  // Neither a number nor a date: a plain box, whatever IGNOREERRORS says.
  Text text =
      tr("Invalid Numeric or Date Format In ") + u"\"" + from_utf8(command) + Text(params) + u"\"";
  platform::get().boxes->message_box(text, process().app_title, platform::BoxButtons::kOk,
                                     platform::BoxIcon::kNone);
}

void cmd_add(Run& run, TextView params) {
  add_or_sub(run, params, 1, "Add>");
}
void cmd_sub(Run& run, TextView params) {
  add_or_sub(run, params, -1, "Sub>");
}

// The substring from the 1-based `start`, of `length` code units, clipped to
// the text.
Text substring(const Text& text, int64_t start, int64_t length) {
  if (start < 1) start = 1;
  if (length < 1 || start > static_cast<int64_t>(text.size())) return Text();
  return text.substr(static_cast<size_t>(start - 1), static_cast<size_t>(length));
}

void cmd_midtext(Run& run, TextView params) {
  Fields f(run, params);
  Text text = f.input();
  std::optional<int32_t> start = parse_integer(f.input());
  std::optional<int32_t> length = parse_integer(f.input());
  TextView var = f.rest_raw();
  if (!start || !length || text.empty() || var.empty()) {
    report_error(run, tr("Error in SubString Command."));
    return;
  }
  run.store.set(var, substring(text, *start, *length));
}

void cmd_position(Run& run, TextView params) {
  Fields f(run, params);
  Text find = f.input();
  Text text = f.input();
  Text start_text = f.input();
  TextView rest = f.rest_raw();
  TextView var = rest;
  Text flag = u"TRUE";
  if (size_t comma = rest.find(u','); comma != TextView::npos) {
    var = rest.substr(0, comma);
    flag = run.store.substitute(rest.substr(comma + 1), true);
  }
  std::optional<int32_t> start = parse_integer(start_text);
  uint32_t ustart = static_cast<uint32_t>(start.value_or(0));
  if (text.empty() || ustart > text.size()) {
    run.store.set(var, u"0");
    return;
  }
  if (!start || find.empty() || var.empty()) {
    report_error(run, tr("Error in Position Command."));
    return;
  }
  size_t from = ustart < 1 ? 0 : ustart - 1;
  size_t at = text.find(find, from);
  int64_t k = at == Text::npos ? 0 : static_cast<int64_t>(at - from + 1);
  if (upper(flag) == u"FALSE") k = k > 0 ? k + *start - 1 : 0;
  run.store.set(var, int_to_text(k));
}

void cmd_length(Run& run, TextView params) {
  Fields f(run, params);
  Text text = f.input();
  run.store.set(f.rest_raw(), int_to_text(static_cast<int64_t>(text.size())));
}

void cmd_separate(Run& run, TextView params) {
  Fields f(run, params);
  Text text = f.input();
  Text rest = f.rest_input();
  Fields g(run, rest);
  Text delimiter = g.input();
  Text name(g.rest_raw());
  int64_t count = 0;
  if (!trim(text).empty() && !delimiter.empty()) {
    text += delimiter;
    size_t from = 0;
    for (size_t at; (at = text.find(delimiter, from)) != Text::npos;) {
      ++count;
      run.store.set(name + u"_" + int_to_text(count), text.substr(from, at - from));
      from = at + delimiter.size();
    }
  }
  run.store.set(name + u"_count", int_to_text(count));
}

void cmd_replace(Run& run, TextView params) {
  Fields f(run, params);
  Text text = f.input();
  Text find = f.input();
  Text replacement = f.input();
  TextView var = f.rest_raw();
  if (find.empty()) {
    run.store.set(var, std::move(text));
    return;
  }
  Text out;
  size_t from = 0;
  for (size_t at; (at = text.find(find, from)) != Text::npos; from = at + find.size()) {
    out.append(text, from, at - from);
    out += replacement;
  }
  out.append(text, from, Text::npos);
  run.store.set(var, std::move(out));
}

void cmd_random(Run& run, TextView params) {
  Fields f(run, params);
  uint32_t range = static_cast<uint32_t>(integer_or_zero(f.input()));
  uint32_t& seed = process().random_seed;
  seed = seed * 134775813u + 1u;
  uint64_t value = (static_cast<uint64_t>(seed) * range) >> 32;
  run.store.set(f.rest_raw(), int_to_text(static_cast<int64_t>(value)));
}

void cmd_base64(Run& run, TextView params) {
  Fields f(run, params);
  Text text = f.input();
  Text mode = upper(f.input());
  TextView var = f.rest_raw();
  std::string bytes = ansi_encode(text);
  if (mode == u"ENCODE") {
    run.store.set(var, ansi_decode(base64_encode(bytes)));
  } else if (std::optional<std::string> decoded = base64_decode(bytes)) {
    run.store.set(var, ansi_decode(*decoded));
  } else {
    run.store.set(var, u"DECODE ERROR: SOURCE NOT BASE64");
  }
}

void cmd_rgb(Run& run, TextView params) {
  Fields f(run, params);
  int64_t r = integer_or_zero(f.input()) & 0xFF;
  int64_t g = integer_or_zero(f.input()) & 0xFF;
  int64_t b = integer_or_zero(f.input()) & 0xFF;
  run.store.set(f.rest_raw(), int_to_text(r + 256 * g + 65536 * b));
}

void cmd_assigned(Run& run, TextView params) {
  size_t comma = params.find(u',');
  Text name = upper(comma == TextView::npos ? params : params.substr(0, comma));
  TextView var = comma == TextView::npos ? TextView() : params.substr(comma + 1);
  run.store.set(var, u"FALSE");
  if (run.store.find(name) || run.store.command_line_value(name)) run.store.set(var, u"TRUE");
}

constexpr CommandEntry kCommands[] = {
    {u"LET"_code, cmd_let, Params::kRaw},     {u"CON"_code, cmd_concatenate, Params::kRaw},
    {u"ADD"_code, cmd_add, Params::kRaw},     {u"SUB"_code, cmd_sub, Params::kRaw},
    {u"MID"_code, cmd_midtext, Params::kRaw}, {u"POS"_code, cmd_position, Params::kRaw},
    {u"LEN"_code, cmd_length, Params::kRaw},  {u"SEP"_code, cmd_separate, Params::kRaw},
    {u"STR"_code, cmd_replace, Params::kRaw}, {u"RPL"_code, cmd_replace, Params::kRaw},
    {u"RAN"_code, cmd_random, Params::kRaw},  {u"BAS"_code, cmd_base64, Params::kRaw},
    {u"RGB"_code, cmd_rgb, Params::kRaw},     {u"ASS"_code, cmd_assigned, Params::kRaw},
};

}  // namespace

std::span<const CommandEntry> text_commands() {
  return kCommands;
}

}  // namespace talvex
