#include "lang/var_store.h"

#include <algorithm>

#include "util/numbers.h"

namespace talvex {

namespace {

// A chain of references (A holds %B%, B holds %C%, ...) is followed this
// many levels deep at most; a cycle (A holds %B%, B holds %A%) stops here.
constexpr int kMaxDepth = 2000;
// Repeated substitution stops once the texts it has produced in one call add
// up to 16 times the first one (and at least a million code units), so
// references that double their text at every level end soon while a large
// value still gets substituted again.
constexpr size_t kMinBudget = size_t{1} << 20;
constexpr size_t kBudgetFactor = 16;

}  // namespace

struct VarStore::Guard {
  int depth = 0;
  size_t produced = 0;
  size_t budget = 0;  // set by the first repeated substitution
};

size_t VarStore::CiHash::operator()(TextView s) const {
  // FNV-1a over the upper-cased code units.
  uint64_t h = 1469598103934665603ull;
  for (char16_t c : s) {
    h ^= ascii_upper(c);
    h *= 1099511628211ull;
  }
  return static_cast<size_t>(h);
}

TVariableTable* VarStore::lookup(TextView name) {
  auto it = index_.find(name);
  return it == index_.end() ? nullptr : &entries_[it->second];
}

const TVariableTable* VarStore::find(TextView name) const {
  if (ignore_spaces()) name = trim(name);
  auto it = index_.find(name);
  return it == index_.end() ? nullptr : &entries_[it->second];
}

void VarStore::set(TextView name, Text value) {
  if (ignore_spaces()) name = trim(name);
  if (TVariableTable* e = lookup(name)) {
    e->value = std::move(value);
    return;
  }
  entries_.push_back({upper(name), std::move(value)});
  index_.emplace(entries_.back().name, entries_.size() - 1);
}

void VarStore::set_line_number(int line) {
  line_number_ = line;
  if (!entries_.empty()) entries_[0].value = int_to_text(line);
}

std::optional<Text> VarStore::command_line_value(TextView name) const {
  if (args_ == nullptr) return std::nullopt;
  for (const Text& arg : *args_) {
    if (arg.empty() || arg[0] != u'/') continue;
    size_t eq = arg.find(u'=');
    if (eq == Text::npos) continue;
    if (equals_ci(TextView(arg).substr(1, eq - 1), name)) return arg.substr(eq + 1);
  }
  return std::nullopt;
}

Text VarStore::substitute(TextView text, bool repeated) {
  Guard g;
  return substitute_at(text, repeated, g);
}

// Substitutes the name of a %name% reference: with VAREXPLICIT at "0" for the
// time of the call, so that the name is looked up as a whole name.
Text VarStore::substitute_name(TextView name, bool repeated, Guard& g) {
  if (entries_.size() < 2 || entries_[1].value == u"0") {
    return substitute_at(name, repeated, g);
  }
  Text saved = std::move(entries_[1].value);
  entries_[1].value = u"0";
  Text r = substitute_at(name, repeated, g);
  entries_[1].value = std::move(saved);
  return r;
}

Text VarStore::substitute_at(TextView text, bool repeated, Guard& g) {
  if (entries_.empty() || g.depth >= kMaxDepth) return Text(text);
  struct DepthScope {
    int& d;
    explicit DepthScope(int& depth) : d(depth) { ++d; }
    ~DepthScope() { --d; }
  } scope(g.depth);

  const bool whole_names = var_explicit_is_zero();
  const bool s = ignore_spaces();
  TextView t = s ? trim(text) : text;

  // A complex expression in braces; a failed evaluation falls through to
  // plain substitution of the text, braces included.
  if (expression_ && t.size() >= 2 && t.front() == u'{' && t.back() == u'}') {
    TextView x = t.substr(1, t.size() - 2);
    Text inner =
        x.find(u'%') == TextView::npos ? substitute_at(x, true, g) : substitute_for_expression(x);
    if (auto value = expression_(inner)) return std::move(*value);
  }

  if (whole_names && t.find(u' ') == TextView::npos) {
    if (const TVariableTable* e = lookup(s ? trim(t) : t)) {
      return s ? Text(trim(e->value)) : e->value;
    }
  }

  if (std::optional<Text> value = command_line_value(t)) return std::move(*value);

  size_t i = t.find(u'%');
  if (i == TextView::npos) return Text(t);
  Text out(t.substr(0, i));
  bool processed = false;
  while (i < t.size()) {
    size_t close = t.find(u'%', i + 1);
    if (close == TextView::npos) {
      out.append(t.substr(i));
      break;
    }
    processed = true;
    TextView name = t.substr(i + 1, close - i - 1);
    Text value = substitute_name(name, repeated, g);
    if (value != name) {
      out += value;
    } else {
      out.push_back(u'%');
      out.append(name);
      out.push_back(u'%');
    }
    i = close + 1;
    size_t next = t.find(u'%', i);
    out.append(t.substr(i, next == TextView::npos ? TextView::npos : next - i));
    i = next;
  }
  if (!processed) return Text(t);
  if (!repeated || out == t) return out;
  // A value that holds its own reference stops here.
  if (out.find(t) != Text::npos) return out;
  if (g.budget == 0) g.budget = std::max(kMinBudget, kBudgetFactor * out.size());
  g.produced += out.size();
  if (g.produced > g.budget) return out;
  if (!s) return substitute_at(out, repeated, g);
  entries_[2].value = u"0";
  Text r = substitute_at(out, repeated, g);
  entries_[2].value = u"1";
  return r;
}

Text VarStore::prepare_expression(TextView inside) {
  return inside.find(u'%') == TextView::npos ? substitute(inside, true)
                                             : substitute_for_expression(inside);
}

Text VarStore::substitute_for_expression(TextView text) {
  Guard g;
  Text out;
  size_t i = 0;
  while (i < text.size()) {
    size_t open = text.find(u'%', i);
    if (open == TextView::npos) {
      out.append(text.substr(i));
      break;
    }
    out.append(text.substr(i, open - i));
    size_t close = text.find(u'%', open + 1);
    if (close == TextView::npos) {
      out.append(text.substr(open));
      break;
    }
    TextView name = text.substr(open + 1, close - open - 1);
    Text value = substitute_name(name, false, g);
    if (value == name) {
      out.push_back(u'%');
      out.append(name);
      out.push_back(u'%');
    } else if (parse_number(value) && value[0] != u'E' && value[0] != u'e' && value != u".") {
      out += value;
    } else if (value.empty()) {
      out += u"\"\"";
    } else if (value.front() == u'"' && value.back() == u'"') {
      out += value;
    } else {
      out.push_back(u'"');
      out += value;
      out.push_back(u'"');
    }
    i = close + 1;
  }
  return out;
}

}  // namespace talvex
