#include "game/data_sources.h"

#include <algorithm>

#include "util/cp1251.h"
#include "util/echo_text.h"
#include "util/numtext.h"

namespace {

// Digits in groups of three, "2 588".
std::string Grouped(size_t n) {
  std::string digits = IntToStr(static_cast<int64_t>(n));
  for (size_t at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, " ");
  return digits;
}

// What makes messages one kind: the text without its quoted pieces and its digits.
std::string KindOf(const DataProblem& p) {
  std::string key = p.Path;
  key += p.Error ? "\1" : "\2";
  bool quoted = false;
  for (char c : p.Text) {
    if (c == '"') {
      quoted = !quoted;
      continue;
    }
    if (quoted || (c >= '0' && c <= '9')) continue;
    key += c;
  }
  return key;
}

size_t Weight(const DataProblem& p) {
  return p.More > 0 ? p.More : 1;
}

}  // namespace

void DataProblems::Add(DataProblem problem) {
  std::string key = KindOf(problem);
  size_t& count = seen_[key];
  if (++count <= kLimit) {
    push_back(std::move(problem));
    return;
  }
  auto at = more_.find(key);
  if (at == more_.end()) {
    at = more_.emplace(std::move(key), size()).first;
    problem.More = 0;  // the text stays: it names the kind
    push_back(std::move(problem));
  }
  ++(*this)[at->second].More;
}

std::string FormatProblem(const DataProblem& problem) {
  std::string out = problem.Path;
  if (problem.Line > 0) out += ":" + IntToStr(problem.Line);
  out += problem.Error ? ": error: " : ": warning: ";
  if (problem.More > 0)
    return out + "… and " + Grouped(problem.More) +
           " more of this kind (the first: " + EchoText(problem.Text, 60) + ")";
  return out + problem.Text;
}

std::string DisplayPath(const std::string& path) {
  std::string out = ToUtf8(path);
  std::replace(out.begin(), out.end(), '\\', '/');
  while (out.rfind("./", 0) == 0) out.erase(0, 2);
  return out;
}

size_t ErrorCount(const DataProblems& problems) {
  size_t n = 0;
  for (const DataProblem& p : problems) n += p.Error ? Weight(p) : 0;
  return n;
}

size_t WarningCount(const DataProblems& problems) {
  size_t n = 0;
  for (const DataProblem& p : problems) n += p.Error ? 0 : Weight(p);
  return n;
}
