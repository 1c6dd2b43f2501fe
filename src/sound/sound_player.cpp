#include "sound/sound_player.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <ostream>

#include "util/bmp.h"

SoundPlayer::SoundPlayer(const SoundOptions& options, std::ostream& err)
    : options_(options), muted_(options.muted) {
  if (!options_.openDevice) return;
  std::string error;
  std::string problems;
  if (!device_.Open(options_.device, NativePath(options_.folder.string()), error, problems)) {
    err << "rtsdemo: " << error << ": the game runs without sound\n";
    return;
  }
  err << problems;
  device_.SetVolume(muted_ ? 0.0f : volume_);
}

int64_t SoundPlayer::Now() const {
  if (options_.clock) return options_.clock();
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void SoundPlayer::SetMuted(bool muted) {
  muted_ = muted;
  if (muted_) device_.StopAll();
  device_.SetVolume(muted_ ? 0.0f : volume_);
}

void SoundPlayer::SetVolume(float volume) {
  // Rounded to the step so that ten presses always reach the ends.
  volume_ = std::clamp(std::round(volume / kVolumeStep) * kVolumeStep, 0.0f, 1.0f);
  if (!muted_) device_.SetVolume(volume_);
}

void SoundPlayer::Rebase(Session& session) {
  finder_.Rebase(session.world(), session.match().winner());
  lastFrame_ = session.frontend().state().Frames;
  based_ = true;
}

void SoundPlayer::CommandApplied(Session& session, const Command& command) {
  if (command.Kind == CommandKind::Tick) return;
  // A command changes the world only outside the rules: nothing to hear.
  Rebase(session);
  // Only the orders of the player at this window are acknowledged.
  const Frontend& f = session.frontend();
  if (command.Kind == CommandKind::Down &&
      command.Int(0) == static_cast<int64_t>(Frontend::Button::Right) &&
      f.inputPlayer() == f.local())
    finder_.OrderGiven();
}

void SoundPlayer::Ticked(Session& session) {
  const bool paused = session.pace().paused();
  if (paused != paused_) device_.Pause(paused);
  paused_ = paused;
}

ViewArea ViewOf(Session& session) {
  const Frontend& f = session.frontend();
  // The world shown: view pixels / zoom - camera.
  const float zoom = f.DrawnZoom() > 0 ? f.DrawnZoom() : 1.0f;
  const float w = static_cast<float>(session.controls().ViewWidth()) / zoom;
  const float h = static_cast<float>(session.controls().ViewHeight()) / zoom;
  return {w / 2 - f.DrawnCameraX(), h / 2 - f.DrawnCameraY(), std::max(w / 2, 1.0f),
          std::max(h / 2, 1.0f)};
}

void SoundPlayer::FrameDone(Session& session) {
  const uint64_t frame = session.frontend().state().Frames;
  // A state restored or a seek: the world did not come from the last frame.
  if (!based_ || frame != lastFrame_ + 1) {
    Rebase(session);
    return;
  }
  lastFrame_ = frame;
  const std::vector<SoundEvent> events =
      finder_.Frame(session.world(), session.match().winner(), session.frontend().player().PlayAs,
                    session.frontend().LocalSelectionAside());
  // A stepped frame while paused is silent too.
  if (events.empty() || muted_ || session.pace().paused()) return;
  const ViewArea view = ViewOf(session);
  device_.SetListener(view.CentreX, view.CentreY);
  // Of each kind, only the loudest of the frame plays: a hundred blows at once are one blow.
  std::array<Placement, kSoundKinds> best{};
  for (const SoundEvent& e : events) {
    Placement p = e.Placed ? Place(view, e.X, e.Y) : Placement{true, 1.0f, 0.0f};
    Placement& b = best[static_cast<size_t>(KindIndex(e.Kind))];
    if (p.Heard && (!b.Heard || p.Gain > b.Gain)) b = p;
  }
  const bool fast = session.pace().speed() > Pace::kNormal;
  const int64_t now = Now();
  std::array<bool, kVoices> playing = device_.Playing();
  for (int k = 0; k < kSoundKinds; ++k) {
    const Placement& p = best[static_cast<size_t>(k)];
    const auto kind = static_cast<SoundKind>(k);
    if (!p.Heard || !rate_.Allow(kind, now, fast)) continue;
    const int voice = voices_.Take(kind, playing);
    if (voice < 0) continue;
    playing[static_cast<size_t>(voice)] = true;
    device_.Play(voice, kind, p.Pan, p.Gain);
    if (keepLog_) started_.push_back({kind, frame, now, p.Pan, p.Gain});
  }
}
