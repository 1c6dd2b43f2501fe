#include "app/startup.h"

#include <ostream>

#include "app/replay.h"
#include "app/script.h"

SessionStart StartOf(const WindowOptions& options) {
  SessionStart start;
  if (options.replay) start.ReplayName = *options.replay;
  if (options.resume) {
    start.ReplayName = *options.resume;
    start.Resume = true;
  }
  start.Start = options.start;
  if (options.record) start.Record = *options.record;
  start.PlayAs = options.playAs;
  start.Level = options.level;
  start.Ai = options.ai;
  start.Network = options.net.has_value();
  return start;
}

bool LoadStart(SessionStart& start, std::ostream& err) {
  if (start.ReplayName.empty() || start.Replay) return true;
  Script script;
  if (!LoadScript(start.ReplayName, script, err)) return false;
  start.Replay = std::move(script);
  return true;
}

bool OpenSession(Session& session, SessionStart& start, std::ostream& err) {
  if (start.Replay) session.viewer().Start(std::move(*start.Replay));
  start.Replay.reset();
  // A resumed recording is written once taken over.
  std::string error;
  if (!start.Resume && !start.Record.empty() && !session.inputs().Record(start.Record, error)) {
    err << "rtsdemo: " << error << "\n";
    return false;
  }
  return true;
}

std::optional<int> BeginSession(Session& session, const SessionStart& start, std::ostream& err,
                                bool& seekFailed) {
  seekFailed = false;
  // Recorded like every input, so that the recording replays the scripts.
  for (const std::string& v : start.Ai)
    session.Apply(AiCommand(v[0] == '1' ? 1 : 0, v.size() > 2 ? v.substr(2) : std::string()));
  if (start.PlayAs && !start.Network)
    session.Apply(MakeCommand(CommandKind::PlayAs, {*start.PlayAs}));
  if (start.Level) session.Apply(LevelCommand(*start.Level));
  if (start.Start) seekFailed = !session.viewer().Seek(*start.Start);
  if (start.Resume) {
    std::string error;
    if (!session.viewer().Resume(start.Record, error)) {
      err << "rtsdemo: " << start.ReplayName << ": " << error << "\n";
      const bool outOfSync = session.viewer().player() && session.viewer().player()->FirstFailure();
      return outOfSync ? 3 : 2;
    }
  }
  return std::nullopt;
}
