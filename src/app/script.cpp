#include "app/script.h"

#include <fstream>
#include <iostream>
#include <istream>
#include <sstream>

#include "util/translate.h"

int RunScript(const Script& script, Session& session, std::ostream& out, std::ostream& err) {
  for (const ScriptLine& line : script) {
    try {
      session.Apply(line.Cmd, out);
    } catch (const CommandError& e) {
      err << "script line " << line.Number << ": " << e.What << std::endl;
      return 2;
    } catch (const OutOfSync& e) {
      err << Tr("notes", "out of sync at frame %1", {std::to_string(e.Frame)}) << std::endl;
      return 3;
    }
  }
  return 0;
}

int RunScript(std::istream& in, Session& session, std::ostream& out, std::ostream& err) {
  Script script;
  try {
    script = ReadScript(in);
  } catch (const CommandError& e) {
    err << e.What << std::endl;
    return 2;
  }
  return RunScript(script, session, out, err);
}

bool LoadScript(const std::string& path, Script& script, std::ostream& err) {
  try {
    if (path == "-") {
      script = ReadScript(std::cin);
      return true;
    }
    std::ifstream file(path);
    if (!file) {
      err << "rtsdemo: cannot open " << path << "\n";
      return false;
    }
    script = ReadScript(file);
    return true;
  } catch (const CommandError& e) {
    err << "rtsdemo: " << path << ": " << e.What << "\n";
    return false;
  }
}

int RunLoadedScript(const Script& script, Session& session) {
  try {
    const int status = RunScript(script, session, std::cout, std::cerr);
    // A load that failed or was refused fails the run, once the whole script has run.
    return status == 0 && session.frontend().LoadFailed() ? 1 : status;
  } catch (const ProgramExit& e) {
    return e.Code;
  } catch (const std::exception& e) {
    std::cerr << "rtsdemo: " << e.what() << "\n";
    return 1;
  }
}

std::string ScriptSummary() {
  return CommandSummary();
}

// The parts are built before the session (base order), so they may be handed over here.
HeadlessHost::HeadlessHost(RecordingPlatform& platform, Drawing* drawing)
    : Session(widgets_, platform, counting_, drawing ? *drawing : blank_, *this) {
  frontend().FormCreate();
}

void HeadlessHost::Run(const std::string& lines, std::ostream& out) {
  std::istringstream in(lines);
  for (const ScriptLine& line : ReadScript(in)) Apply(line.Cmd, out);
}
