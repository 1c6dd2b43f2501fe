#include "app/script_runner.h"

#include <ostream>

#include "util/numtext.h"
#include "util/translate.h"

ScriptRunner::ScriptRunner(Script script) : script_(std::move(script)) {}

ScriptRunner::Result ScriptRunner::Step(ScriptTarget& target, std::ostream& out, bool show) {
  Result r = Prepare(target, out);
  if (r.stop != Stop::Frame) return r;
  try {
    RunDueFrame(target, show);
  } catch (const CommandError& e) {
    return {Stop::Error, "script line " + IntToStr(number_) + ": " + e.What};
  }
  return r;
}

ScriptRunner::Result ScriptRunner::Prepare(ScriptTarget& target, std::ostream& out) {
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
      target.Apply(line.Cmd, out);
    }
  } catch (const CommandError& e) {
    return {Stop::Error, "script line " + IntToStr(number_) + ": " + e.What};
  } catch (const OutOfSync& e) {
    return {Stop::OutOfSync, Tr("notes", "out of sync at frame %1", {std::to_string(e.Frame)})};
  }
  return {Stop::End, {}};
}

void ScriptRunner::RunDueFrame(ScriptTarget& target, bool show) {
  if (ticksLeft_ == 0) return;
  --ticksLeft_;
  target.RunFrame(show);
}

ScriptRunner::Result ScriptRunner::Checks(ScriptTarget& target, std::ostream& out) {
  while (ticksLeft_ == 0 && next_ < script_.size() &&
         script_[next_].Cmd.Kind == CommandKind::Hash) {
    const ScriptLine& line = script_[next_++];
    number_ = line.Number;
    try {
      target.Apply(line.Cmd, out);
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
