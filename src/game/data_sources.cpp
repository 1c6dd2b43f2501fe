#include "game/data_sources.h"

#include <algorithm>

#include "util/cp1251.h"
#include "util/numtext.h"

std::string FormatProblem(const DataProblem& problem) {
  std::string out = problem.Path;
  if (problem.Line > 0) out += ":" + IntToStr(problem.Line);
  out += problem.Error ? ": error: " : ": warning: ";
  return out + problem.Text;
}

std::string DisplayPath(const std::string& path) {
  std::string out = ToUtf8(path);
  std::replace(out.begin(), out.end(), '\\', '/');
  while (out.rfind("./", 0) == 0) out.erase(0, 2);
  return out;
}

size_t ErrorCount(const DataProblems& problems) {
  return static_cast<size_t>(std::count_if(problems.begin(), problems.end(),
                                           [](const DataProblem& p) { return p.Error; }));
}
