// The variable store of one run and the substitution of variable references.
//
// Entries are kept in creation order and never removed, so a position stays
// valid for the whole run. The first three entries are always _LINE_NUM,
// VAREXPLICIT and IGNORESPACES; the store reads the last two by position.
// Names are case-insensitive for the ASCII letters a to z only.
#pragma once

#include <functional>
#include <optional>
#include <unordered_map>
#include <vector>

#include "util/text.h"

namespace talvex {

struct TVariableTable {
  Text name;   // upper case
  Text value;  // stored exactly as set
};
using tVarArray = std::vector<TVariableTable>;

class VarStore {
 public:
  // Evaluates the inside of a complex expression in braces; nothing when the
  // evaluation fails.
  using ExpressionHook = std::function<std::optional<Text>(const Text& expr)>;

  VarStore() = default;
  VarStore(const VarStore&) = delete;
  VarStore& operator=(const VarStore&) = delete;

  // Creates or updates a variable. With IGNORESPACES at "1" the name is
  // trimmed of blanks first.
  void set(TextView name, Text value);
  // The entry of a name (upper-cased, trimmed when IGNORESPACES is "1"), or
  // null.
  const TVariableTable* find(TextView name) const;

  // Replaces variable references in `text`: braces, whole-name lookup,
  // command-line fallback and %name% references, substituting the result
  // again when `repeated` is set.
  Text substitute(TextView text, bool repeated);
  // The variant used inside a complex expression that holds "%": each
  // defined %name% becomes a literal the evaluator reads.
  Text substitute_for_expression(TextView text);

  // Prepares the inside of braces for the evaluator: substitute for
  // expression when it holds "%", plain repeated substitution otherwise.
  Text prepare_expression(TextView inside);

  const tVarArray& entries() const { return entries_; }
  size_t size() const { return entries_.size(); }

  // The current 1-based line number, kept as the value of _LINE_NUM.
  int line_number() const { return line_number_; }
  void set_line_number(int line);

  // The value of a /name=value command-line argument, names compared
  // without regard to the case of a to z.
  std::optional<Text> command_line_value(TextView name) const;
  // Where the command-line fallback looks; null for none.
  void set_command_line_args(const std::vector<Text>* args) { args_ = args; }
  void set_expression_hook(ExpressionHook hook) { expression_ = std::move(hook); }

  bool ignore_spaces() const { return entries_.size() >= 3 && entries_[2].value == u"1"; }
  bool var_explicit_is_zero() const { return entries_.size() < 2 || entries_[1].value == u"0"; }

 private:
  struct Guard;
  struct CiHash {
    using is_transparent = void;
    size_t operator()(TextView s) const;
  };
  struct CiEqual {
    using is_transparent = void;
    bool operator()(TextView a, TextView b) const { return equals_ci(a, b); }
  };

  TVariableTable* lookup(TextView name);
  Text substitute_at(TextView text, bool repeated, Guard& g);
  Text substitute_name(TextView name, bool repeated, Guard& g);

  tVarArray entries_;
  std::unordered_map<Text, size_t, CiHash, CiEqual> index_;
  int line_number_ = 0;
  const std::vector<Text>* args_ = nullptr;
  ExpressionHook expression_;
};

}  // namespace talvex
