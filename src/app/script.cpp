#include "app/script.h"

#include <fstream>
#include <iostream>
#include <istream>
#include <sstream>

#include "util/numtext.h"
#include "util/translate.h"

ScriptRunner::ScriptRunner(Script script) : script_(std::move(script)) {}

ScriptRunner::Result ScriptRunner::Step(Session& session, std::ostream& out, bool show) {
  Result r = Prepare(session, out);
  if (r.stop != Stop::Frame) return r;
  try {
    RunDueFrame(session, show);
  } catch (const CommandError& e) {
    return {Stop::Error, "script line " + IntToStr(number_) + ": " + e.What};
  }
  return r;
}

ScriptRunner::Result ScriptRunner::Prepare(Session& session, std::ostream& out) {
  try {
    if (ticksLeft_ > 0) return {Stop::Frame, {}};
    while (next_ < script_.size()) {
      const ScriptLine& line = script_[next_++];
      number_ = line.Number;
      if (line.Cmd.Kind == CommandKind::Tick) {
        const int64_t n = line.Cmd.Has(0) ? line.Cmd.Int(0) : 1;
        if (n == 0) continue;
        ticksLeft_ = static_cast<uint64_t>(n);
        return {Stop::Frame, {}};
      }
      session.Apply(line.Cmd, out);
    }
  } catch (const CommandError& e) {
    return {Stop::Error, "script line " + IntToStr(number_) + ": " + e.What};
  } catch (const OutOfSync& e) {
    return {Stop::OutOfSync, Tr("notes", "out of sync at frame %1", {std::to_string(e.Frame)})};
  }
  return {Stop::End, {}};
}

void ScriptRunner::RunDueFrame(Session& session, bool show) {
  if (ticksLeft_ == 0) return;
  --ticksLeft_;
  session.RunFrame(show);
}

ScriptRunner::Result ScriptRunner::Checks(Session& session, std::ostream& out) {
  while (ticksLeft_ == 0 && next_ < script_.size() &&
         script_[next_].Cmd.Kind == CommandKind::Hash) {
    const ScriptLine& line = script_[next_++];
    number_ = line.Number;
    try {
      session.Apply(line.Cmd, out);
    } catch (const OutOfSync& e) {
      return {Stop::OutOfSync, Tr("notes", "out of sync at frame %1", {std::to_string(e.Frame)})};
    }
  }
  return {Stop::Frame, {}};
}

std::string ScriptRunner::PlayedText() const {
  std::string text;
  for (size_t i = 0; i < next_ && i < script_.size(); ++i) {
    Command c = script_[i].Cmd;
    if (i + 1 == next_ && c.Kind == CommandKind::Tick && ticksLeft_ > 0) {
      const int64_t n = c.Has(0) ? c.Int(0) : 1;
      if (n - static_cast<int64_t>(ticksLeft_) <= 0) continue;
      c.Args.resize(1);
      c.Args[0].I = n - static_cast<int64_t>(ticksLeft_);
    }
    text += WriteCommand(c) + "\n";
  }
  return text;
}

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
