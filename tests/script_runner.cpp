// Runs the script tests: every tests/scripts/**/*.scp is run with
// `talvex -RUN` in a scratch directory of its own and checked against the
// directives in its comment lines:
//
//   // expect: TEXT            the next expected line of standard output
//   // expect-exit: N          the exit code (default 0)
//   // expect-stderr: TEXT     a line that standard error must contain, in
//                              order; without any, standard error must be empty
//   // expect-file: NAME ~ RE  the next line of file NAME (CR LF or LF lines)
//                              must match the regular expression RE; the file
//                              must have exactly as many lines as directives
//   // args: A B ...           extra command-line arguments
//   // env: NAME=VALUE         an environment variable for the run
//   // fixture: PATH           copies PATH (relative to the test) into the
//                              scratch directory
//
// In args, env and fixture, {testdir} stands for the test's own directory and
// {scratch} for the scratch directory; in expect, {talvex} for the runtime. Prints one line per
// failure and the summary line "N passed, M failed".
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;

namespace {

struct FileExpectation {
  std::string name;
  std::vector<std::string> patterns;
};

struct TestPlan {
  std::vector<std::string> stdout_lines;
  std::vector<std::string> stderr_lines;
  std::vector<FileExpectation> files;
  std::vector<std::string> args;
  std::vector<std::string> env;
  std::vector<std::string> fixtures;
  int exit_code = 0;
};

std::string replace_all(std::string s, const std::string& from, const std::string& to) {
  for (size_t p = 0; (p = s.find(from, p)) != std::string::npos; p += to.size()) {
    s.replace(p, from.size(), to);
  }
  return s;
}

std::string read_all(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

std::vector<std::string> split_lines(const std::string& text) {
  std::vector<std::string> lines;
  std::string cur;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n') {
      if (!cur.empty() && cur.back() == '\r') cur.pop_back();
      lines.push_back(cur);
      cur.clear();
    } else {
      cur.push_back(text[i]);
    }
  }
  if (!cur.empty()) lines.push_back(cur);
  return lines;
}

// The text of a directive "// NAME: TEXT" on `line`, if it is one.
bool directive(const std::string& line, const std::string& name, std::string& value) {
  size_t i = line.find_first_not_of(" \t");
  if (i == std::string::npos || line.compare(i, 2, "//") != 0) return false;
  i = line.find_first_not_of(" \t", i + 2);
  if (i == std::string::npos || line.compare(i, name.size() + 1, name + ":") != 0) return false;
  value = line.substr(i + name.size() + 1);
  if (!value.empty() && value[0] == ' ') value.erase(0, 1);
  return true;
}

std::vector<std::string> split_words(const std::string& s) {
  std::istringstream in(s);
  std::vector<std::string> words;
  for (std::string w; in >> w;) words.push_back(w);
  return words;
}

TestPlan parse_plan(const fs::path& test) {
  TestPlan plan;
  for (const std::string& line : split_lines(read_all(test))) {
    std::string v;
    if (directive(line, "expect", v)) {
      plan.stdout_lines.push_back(v);
    } else if (directive(line, "expect-exit", v)) {
      plan.exit_code = std::stoi(v);
    } else if (directive(line, "expect-stderr", v)) {
      plan.stderr_lines.push_back(v);
    } else if (directive(line, "expect-file", v)) {
      size_t sep = v.find(" ~ ");
      std::string name = v.substr(0, sep);
      std::string re = sep == std::string::npos ? "" : v.substr(sep + 3);
      auto it = std::find_if(plan.files.begin(), plan.files.end(),
                             [&](const FileExpectation& f) { return f.name == name; });
      if (it == plan.files.end()) it = plan.files.insert(plan.files.end(), {name, {}});
      it->patterns.push_back(re);
    } else if (directive(line, "args", v)) {
      for (auto& w : split_words(v)) plan.args.push_back(w);
    } else if (directive(line, "env", v)) {
      plan.env.push_back(v);
    } else if (directive(line, "fixture", v)) {
      plan.fixtures.push_back(v);
    }
  }
  return plan;
}

struct Outcome {
  int exit_code = -1;
  bool timed_out = false;
};

Outcome run_process(const std::vector<std::string>& argv, const std::vector<std::string>& env,
                    const fs::path& dir, const fs::path& out, const fs::path& err, int timeout_s) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addchdir_np(&actions, dir.c_str());

  std::vector<std::string> envs;
  for (char** e = environ; *e; ++e) envs.emplace_back(*e);
  for (const auto& e : env) envs.push_back(e);
  std::vector<char*> cargv, cenv;
  for (auto& a : argv) cargv.push_back(const_cast<char*>(a.c_str()));
  cargv.push_back(nullptr);
  for (auto& e : envs) cenv.push_back(const_cast<char*>(e.c_str()));
  cenv.push_back(nullptr);

  Outcome o;
  pid_t pid;
  if (posix_spawn(&pid, cargv[0], &actions, nullptr, cargv.data(), cenv.data()) != 0) return o;
  posix_spawn_file_actions_destroy(&actions);
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeout_s);
  int status = 0;
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      o.timed_out = true;
      return o;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  o.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return o;
}

// Checks one test; returns the reasons it failed (none when it passed).
std::vector<std::string> run_test(const fs::path& talvex, const fs::path& test,
                                  const fs::path& scratch) {
  std::vector<std::string> problems;
  TestPlan plan = parse_plan(test);
  fs::create_directories(scratch);
  const std::string testdir = test.parent_path().string();
  auto expand = [&](const std::string& s) {
    return replace_all(replace_all(s, "{testdir}", testdir), "{scratch}", scratch.string());
  };
  for (auto& line : plan.stdout_lines) line = replace_all(line, "{talvex}", talvex.string());
  for (const auto& f : plan.fixtures) {
    fs::path src = test.parent_path() / expand(f);
    std::error_code ec;
    fs::copy(src, scratch / src.filename(), fs::copy_options::recursive, ec);
    if (ec) problems.push_back("fixture " + f + ": " + ec.message());
  }
  fs::path out = scratch / ".stdout", err = scratch / ".stderr";
  std::vector<std::string> argv = {talvex.string(), "-RUN", test.string()};
  for (const auto& a : plan.args) argv.push_back(expand(a));
  std::vector<std::string> env;
  for (const auto& e : plan.env) env.push_back(expand(e));
  Outcome o = run_process(argv, env, scratch, out, err, 120);

  if (o.timed_out) problems.push_back("timed out");
  if (!o.timed_out && o.exit_code != plan.exit_code) {
    problems.push_back("exit code " + std::to_string(o.exit_code) + ", expected " +
                       std::to_string(plan.exit_code));
  }
  std::vector<std::string> got = split_lines(read_all(out));
  if (got != plan.stdout_lines) {
    std::string msg = "stdout differs:";
    size_t n = std::max(got.size(), plan.stdout_lines.size());
    int shown = 0;
    for (size_t i = 0; i < n && shown < 12; ++i) {
      std::string g = i < got.size() ? got[i] : "<none>";
      std::string e = i < plan.stdout_lines.size() ? plan.stdout_lines[i] : "<none>";
      if (g == e) continue;
      msg += "\n      line " + std::to_string(i + 1) + ": got [" + g + "] expected [" + e + "]";
      if (++shown == 12) msg += "\n      ... (" + std::to_string(got.size()) + " lines in all)";
    }
    problems.push_back(msg);
  }
  std::vector<std::string> errs = split_lines(read_all(err));
  if (plan.stderr_lines.empty() && !errs.empty()) {
    problems.push_back("unexpected stderr: " + errs[0].substr(0, 500));
  } else {
    size_t k = 0;
    for (const auto& line : errs) {
      if (k < plan.stderr_lines.size() && line.find(plan.stderr_lines[k]) != std::string::npos) ++k;
    }
    if (k < plan.stderr_lines.size()) {
      problems.push_back("stderr lacks [" + plan.stderr_lines[k] + "]; stderr began:\n" +
                         read_all(err).substr(0, 2000));
    }
  }
  for (const auto& f : plan.files) {
    fs::path p = scratch / expand(f.name);
    if (!fs::exists(p)) {
      problems.push_back("file " + f.name + " missing");
      continue;
    }
    std::vector<std::string> lines = split_lines(read_all(p));
    if (lines.size() != f.patterns.size()) {
      problems.push_back("file " + f.name + " has " + std::to_string(lines.size()) +
                         " lines, expected " + std::to_string(f.patterns.size()) + ":\n" +
                         read_all(p));
      continue;
    }
    for (size_t i = 0; i < lines.size(); ++i) {
      if (!std::regex_match(lines[i], std::regex(f.patterns[i]))) {
        problems.push_back("file " + f.name + " line " + std::to_string(i + 1) + " [" + lines[i] +
                           "] does not match [" + f.patterns[i] + "]");
      }
    }
  }
  return problems;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::cerr << "usage: script_runner TALVEX TESTS_DIR [FILTER]\n";
    return 2;
  }
  fs::path talvex = fs::absolute(argv[1]);
  fs::path root = fs::absolute(argv[2]);
  std::string filter = argc > 3 ? argv[3] : "";
  std::vector<fs::path> tests;
  for (const auto& e : fs::recursive_directory_iterator(root)) {
    if (e.is_regular_file() && e.path().extension() == ".scp" &&
        e.path().string().find(filter) != std::string::npos &&
        e.path().parent_path().filename() != "fixtures") {
      tests.push_back(e.path());
    }
  }
  std::sort(tests.begin(), tests.end());

  char tmpl[] = "/tmp/talvex-scripts-XXXXXX";
  fs::path base = mkdtemp(tmpl);
  int passed = 0, failed = 0;
  for (size_t i = 0; i < tests.size(); ++i) {
    fs::path scratch = base / std::to_string(i);
    auto problems = run_test(talvex, tests[i], scratch);
    std::string name = fs::relative(tests[i], root).string();
    if (problems.empty()) {
      ++passed;
      fs::remove_all(scratch);
    } else {
      ++failed;
      std::cout << "FAIL " << name << "\n";
      for (const auto& p : problems) std::cout << "    " << p << "\n";
    }
  }
  if (failed == 0) fs::remove_all(base);
  std::cout << passed << " passed, " << failed << " failed\n";
  return failed == 0 ? 0 : 1;
}
