#include "app/script.h"

#include <fstream>
#include <iostream>
#include <istream>
#include <sstream>

int RunScript(const Script& script, Session& session, std::ostream& out, std::ostream& err) {
  ScriptRunner runner(script);
  for (;;) {
    const ScriptRunner::Result r = runner.Step(session, out);
    switch (r.stop) {
      case ScriptRunner::Stop::Frame:
        continue;
      case ScriptRunner::Stop::End:
        return 0;
      case ScriptRunner::Stop::Error:
        err << r.message << std::endl;
        return 2;
      case ScriptRunner::Stop::OutOfSync:
        err << r.message << std::endl;
        return 3;
    }
  }
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
  Create();
}

void HeadlessHost::Run(const std::string& lines, std::ostream& out) {
  std::istringstream in(lines);
  for (const ScriptLine& line : ReadScript(in)) Apply(line.Cmd, out);
}
