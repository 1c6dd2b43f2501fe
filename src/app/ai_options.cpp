#include "app/ai_options.h"

#include <iostream>

#include "script/script_check.h"

namespace {

// The file of "S=FILE" or of a bare FILE.
std::string FileOf(const std::string& value) {
  return value.size() > 2 && value[1] == '=' ? value.substr(2) : value;
}

}  // namespace

std::optional<AiFiles> ReadAiOptions(const std::vector<std::string>& values, std::ostream& err) {
  AiFiles files;
  bool ok = true;
  for (const std::string& v : values) {
    std::string problem;
    std::optional<AiFile> file = ReadAiFile(FileOf(v), problem);
    if (!file) {
      err << problem << "\n";
      ok = false;
      continue;
    }
    DataProblems problems;
    CheckAiScript(*file, problems);
    for (const DataProblem& p : problems) err << FormatProblem(p) << "\n";
    if (ErrorCount(problems) > 0) ok = false;
    files[v[0] == '1' ? 1 : 0] = std::move(file);
  }
  if (!ok) return std::nullopt;
  return files;
}

std::shared_ptr<SideScripts> MakeSideScripts(const AiFiles& files, std::ostream& err) {
  if (!files[0] && !files[1]) return nullptr;
  auto scripts = std::make_shared<SideScripts>(
      SandboxLimits{}, [&err](const std::string& line) { err << line << std::endl; });
  for (int32_t side = 0; side < SideScripts::kSides; ++side)
    if (files[static_cast<size_t>(side)]) scripts->Assign(side, *files[static_cast<size_t>(side)]);
  return scripts;
}

DataProblems CheckAiOptions(const std::vector<std::string>& values) {
  DataProblems problems;
  std::vector<std::string> names = ShippedAiScripts();
  for (const std::string& v : values) names.push_back(FileOf(v));
  for (const std::string& v : names) {
    std::string problem;
    const std::optional<AiFile> file = ReadAiFile(FileOf(v), problem);
    if (file) {
      CheckAiScript(*file, problems);
    } else {
      problems.Add({FileOf(v), 0, true, "cannot read the AI script", 0});
    }
  }
  return problems;
}
