#include "script/mission.h"

#include <algorithm>

namespace {

bool InArea(const MissionState::Area& a, const TObyekt& o) {
  return o.X >= a.X1 && o.X <= a.X2 && o.Y >= a.Y1 && o.Y <= a.Y2;
}

// Compares the world with what the mission saw when it last ran and takes it as seen; the
// events go to `events` when given. Objects appended since were finished by a builder.
void Track(const World& world, MissionState& s, uint64_t frame, std::vector<MissionEvent>* events) {
  const size_t n = world.Objects.size();
  if (events != nullptr) {
    while (!s.Alarms.empty() && s.Alarms.front() <= frame) {
      events->push_back({MissionEvent::Frame, static_cast<int64_t>(s.Alarms.front()), 0});
      s.Alarms.erase(s.Alarms.begin());
    }
  }
  s.Alive.resize(n, 0);
  for (size_t i = 0; i < n; ++i) {
    const bool alive = IsAlive(world.Objects[i]);
    if (events != nullptr && i < s.Seen && s.Alive[i] && !alive)
      events->push_back({MissionEvent::Died, static_cast<int64_t>(i), 0});
    if (events != nullptr && i >= s.Seen)
      events->push_back({MissionEvent::Built, static_cast<int64_t>(i), 0});
    s.Alive[i] = alive;
  }
  for (size_t a = 0; a < s.Areas.size(); ++a) {
    MissionState::Area& area = s.Areas[a];
    area.Inside.resize(n, 0);
    for (size_t i = 0; i < n; ++i) {
      const bool inside = IsAlive(world.Objects[i]) && InArea(area, world.Objects[i]);
      if (events != nullptr && inside && !area.Inside[i])
        events->push_back({MissionEvent::Entered, static_cast<int64_t>(i), a});
      area.Inside[i] = inside;
    }
  }
  s.Seen = n;
}

}  // namespace

Mission::Mission(const SandboxLimits& limits, LuaSandbox::Sink sink)
    : limits_(limits), sink_(std::move(sink)) {}

void Mission::Assign(AiFile file) {
  Use(std::make_shared<const AiFile>(std::move(file)));
}

void Mission::Use(std::shared_ptr<const AiFile> file) {
  file_ = std::move(file);
  // One sandbox for the mission's whole life: its snapshots go back only into it.
  if (box_) {
    box_->Restore({});
  } else {
    box_ = std::make_unique<LuaSandbox>(limits_, sink_);
  }
  state_ = MissionState{};
}

void Mission::Clear() {
  file_.reset();
  if (box_) box_->Restore({});  // kept: a snapshot of a mission before may come back
  state_ = MissionState{};
}

void Mission::Restart(uint64_t frame) {
  if (box_) box_->Restore({});
  state_ = MissionState{};
  state_.Start = frame;
}

void Mission::Play(World& world, uint64_t frame) {
  if (!file_ || state_.Fallen) return;
  std::vector<MissionEvent> events;
  MissionTurn turn{{&world, -1, frame - state_.Start}, &state_, &events};
  LuaSandbox& box = *box_;
  box.SetHost(&turn);
  box.SetRandom(&world.Rng);
  bool ok = true;
  if (!state_.Started) {
    state_.Started = true;
    Track(world, state_, turn.Ai.Frame, nullptr);
    ok = box.Open(file_->Shown) && box.Do(OpenAiApi) && box.Do(OpenMissionApi) &&
         box.Run(file_->Text);
    Track(world, state_, turn.Ai.Frame, nullptr);
  }
  if (ok) {
    Track(world, state_, turn.Ai.Frame, &events);
    ok = box.Do(CallMissionUpdate);
    // What the mission itself spawned is no event of its next turn.
    Track(world, state_, turn.Ai.Frame, nullptr);
  }
  box.SetHost(nullptr);
  box.SetRandom(nullptr);
  if (!ok) Fall(world, box.Failure());
}

void Mission::Fall(World& world, const std::string& message) {
  state_.Fallen = true;
  state_.Message = message;
  state_.Areas.clear();
  state_.Alive.clear();
  box_->Restore({});  // its memory is of no more use
  world.Mission.Banner = message;
  world.Mission.Referee = false;  // the rules decide the match from now on
  sink_(message);
  sink_(file_->Shown + ": note: the mission is stopped; the match plays on without it");
}

Mission::Saved Mission::Save() const {
  Saved saved;
  saved.Owner = this;
  saved.State = state_;
  saved.File = file_;
  if (box_ && state_.Started && !state_.Fallen)
    saved.Box = std::make_shared<const std::string>(box_->Save());
  return saved;
}

void Mission::Restore(const Saved& saved) {
  const std::shared_ptr<const AiFile>& was = saved.File;
  const bool same = was == file_ || (was && file_ && was->Hash == file_->Hash &&
                                     was->Shown == file_->Shown && was->Text == file_->Text);
  if (!same) {
    if (was) {
      Use(was);
    } else {
      Clear();
    }
  }
  if (saved.Owner != this) {
    Restart(saved.State.Start);
    return;
  }
  state_ = saved.State;
  if (box_) box_->Restore(saved.Box ? *saved.Box : std::string());
  if (state_.Started && !state_.Fallen && !saved.Box) Restart(saved.State.Start);
}
