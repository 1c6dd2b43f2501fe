#include "app/replay.h"

#include <algorithm>
#include <ostream>
#include <streambuf>

#include "app/match_state.h"
#include "util/translate.h"

namespace {

// Output of the checks nobody reads (a `hash` line with its value prints nothing anyway).
class NullBuffer : public std::streambuf {
 protected:
  int overflow(int c) override { return c; }
};

std::ostream& Nowhere() {
  static NullBuffer buffer;
  static std::ostream out(&buffer);
  return out;
}

size_t TextBytes(const std::string& s) {
  return s.capacity() > 15 ? s.capacity() + 1 : 0;  // beyond the short-string buffer
}

size_t TextsBytes(const std::vector<std::string>& v) {
  size_t n = v.capacity() * sizeof(std::string);
  for (const std::string& s : v) n += TextBytes(s);
  return n;
}

// What a snapshot holds on the heap and inline, near enough to keep a memory bound.
size_t SnapshotBytes(const SessionSnapshot& s) {
  size_t n = sizeof s + s.TheWorld.Objects.capacity() * sizeof(TObyekt);
  for (const TObyekt& o : s.TheWorld.Objects) {
    n += (o.Energy.capacity() + o.Cargo.capacity()) * sizeof(float);
    n += TextBytes(o.Thought1) + TextBytes(o.Thought2);
  }
  n += s.UsedSeeds.capacity() * sizeof(uint32_t);
  for (const ShownMessage& m : s.Messages) n += sizeof m + TextBytes(m.Caption) + TextBytes(m.Text);
  n += TextsBytes(s.Widgets.ListBox1);
  for (const ComboValues* c : {&s.Widgets.ComboBox1, &s.Widgets.ComboBox2, &s.Widgets.ComboBox3})
    n += TextsBytes(c->Items);
  return n;
}

size_t CatalogueBytes(const std::vector<TRassa>& catalogue, const DataSources& sources) {
  size_t n = TextsBytes(sources.Files) + sources.Races.capacity() * sizeof(RaceSource);
  for (const TRassa& race : catalogue) {
    n += sizeof race;
    for (const TOpisan& t : race.Types) {
      n += sizeof t + t.Textures.capacity() * sizeof(uint32_t) +
           t.Animations.capacity() * sizeof(TKadri) + TextsBytes(t.Buildables) +
           TextsBytes(t.Repairs);
    }
  }
  return n;
}

bool LoadsData(const Command& c) {
  return c.Kind == CommandKind::Press && c.Int(0) == 1;
}

// Marks busy for the time of a call: a `seek` inside the recording itself is refused.
struct Busy {
  bool& flag;
  explicit Busy(bool& f) : flag(f) { flag = true; }
  ~Busy() { flag = false; }
};

}  // namespace

std::vector<ReplayMark> EventMarks(const MatchResult& r) {
  std::vector<ReplayMark> marks;
  auto add = [&](const std::array<std::optional<uint64_t>, 2>& times, MarkKind kind) {
    for (int32_t side = 0; side < 2; ++side)
      if (const auto& t = times[static_cast<size_t>(side)]) marks.push_back({*t, kind, side});
  };
  add(r.FirstBase, MarkKind::FirstBase);
  add(r.FirstDelivery, MarkKind::FirstDelivery);
  add(r.FirstDeath, MarkKind::FirstLoss);
  for (int32_t side = 0; side < 2; ++side) {
    const bool gone =
        r.End == MatchEnd::BothGone || (r.End == MatchEnd::Win && r.Winner && *r.Winner != side);
    if (gone) marks.push_back({r.Frames, MarkKind::WipedOut, side});
  }
  if (r.End == MatchEnd::Mission) {
    marks.push_back(r.Winner ? ReplayMark{r.Frames, MarkKind::MissionWon, *r.Winner}
                             : ReplayMark{r.Frames, MarkKind::MissionDrawn, -1});
  }
  std::stable_sort(marks.begin(), marks.end(),
                   [](const ReplayMark& a, const ReplayMark& b) { return a.Frame < b.Frame; });
  return marks;
}

std::string MarkText(const ReplayMark& mark) {
  static const char* const kWhat[] = {"first base",  "first delivery",  "first loss",   "wiped out",
                                      "out of sync", "won the mission", "mission drawn"};
  const std::string what = Tr("marks", kWhat[static_cast<size_t>(mark.Kind)]);
  if (mark.Side < 0) return what;
  return Tr("marks", "side %1: %2", {std::to_string(mark.Side), what});
}

ReplayPlayer::ReplayPlayer(Script script) : runner_(std::move(script)) {}

void ReplayPlayer::Open(ScriptTarget& session) {
  Busy busy(busy_);
  data_.reset();
  keys_.clear();
  marks_.clear();
  bytes_ = sharedBytes_ = 0;
  interval_ = kFirstInterval;
  error_.clear();
  runner_.SetPosition({});
  Keep(session);

  MatchResult events;
  MatchObserver observer;
  bool created = false;  // the level is there: the observer has seen it
  bool over = false;     // a side is gone: the batch would stop here
  std::vector<ReplayMark> failed;
  for (;;) {
    const ScriptRunner::Result r = runner_.Prepare(session, Nowhere());
    if (r.stop == ScriptRunner::Stop::OutOfSync) {
      failed.push_back({session.frontend().state().Frames, MarkKind::FailedCheck, -1});
      continue;
    }
    if (r.stop == ScriptRunner::Stop::Error) error_ = r.message;
    if (r.stop != ScriptRunner::Stop::Frame) break;
    if (!data_ && !session.controls().ButtonEnabled(1)) {
      data_ = std::make_unique<World>();
      data_->Catalogue = session.world().Catalogue;
      data_->GroundTexture = session.world().GroundTexture;
      sources_ = session.frontend().Save().Sources;
    }
    if (!created && !session.controls().ButtonEnabled(2)) {
      observer.Look(session.world(), 0);
      created = true;
    }
    runner_.RunDueFrame(session, false);
    const uint64_t frame = session.frontend().state().Frames;
    if (created && !over && observer.Look(session.world(), frame) &&
        observer.figures().End != MatchEnd::Stalemate) {
      over = true;
      events.Frames = frame;
    }
    // Before the frame's checks: a seek that lands on the keyframe checks them again.
    if (frame >= keys_.back().Frame + interval_) Keep(session);
    while (runner_.Checks(session, Nowhere()).stop == ScriptRunner::Stop::OutOfSync)
      failed.push_back({frame, MarkKind::FailedCheck, -1});
  }
  length_ = session.frontend().state().Frames;
  const MatchFigures& seen = observer.figures();
  events.Winner = seen.Winner;
  events.End = over ? seen.End : MatchEnd::Limit;  // else the firsts only; nobody is gone
  events.FirstBase = seen.FirstBase;
  events.FirstDelivery = seen.FirstDelivery;
  events.FirstDeath = seen.FirstDeath;
  marks_ = EventMarks(events);
  marks_.insert(marks_.end(), failed.begin(), failed.end());
  std::stable_sort(marks_.begin(), marks_.end(),
                   [](const ReplayMark& a, const ReplayMark& b) { return a.Frame < b.Frame; });
  Restore(session, keys_.front());
  opened_ = true;
}

void ReplayPlayer::Keep(ScriptTarget& session) {
  Keyframe key;
  key.Frame = session.frontend().state().Frames;
  key.Where = runner_.position();
  key.Snapshot = session.Save();
  // The catalogue changes only when the data load: share it with the keyframe before.
  bool loaded = keys_.empty();
  if (!loaded) {
    const Script& lines = runner_.script();
    for (size_t i = keys_.back().Where.next; i < key.Where.next && i < lines.size(); ++i)
      loaded = loaded || LoadsData(lines[i].Cmd);
  }
  if (loaded) {
    key.Catalogue =
        std::make_shared<const std::vector<TRassa>>(std::move(key.Snapshot.TheWorld.Catalogue));
    key.Sources = std::make_shared<const DataSources>(std::move(key.Snapshot.Front.Sources));
    sharedBytes_ += CatalogueBytes(*key.Catalogue, *key.Sources);
  } else {
    key.Catalogue = keys_.back().Catalogue;
    key.Sources = keys_.back().Sources;
  }
  key.Snapshot.TheWorld.Catalogue = {};
  key.Snapshot.Front.Sources = {};
  key.Bytes = SnapshotBytes(key.Snapshot);
  bytes_ += key.Bytes;
  keys_.push_back(std::move(key));
  if (bytes_ + sharedBytes_ > kKeyframeBudget) Thin();
}

// Over the bound: every other keyframe goes (the first stays), the interval doubles.
void ReplayPlayer::Thin() {
  while (bytes_ + sharedBytes_ > kKeyframeBudget && keys_.size() > 2) {
    std::vector<Keyframe> kept;
    bytes_ = 0;
    for (size_t i = 0; i < keys_.size(); ++i) {
      if (i % 2 != 0 && i + 1 != keys_.size()) continue;
      bytes_ += keys_[i].Bytes;
      kept.push_back(std::move(keys_[i]));
    }
    keys_ = std::move(kept);
    interval_ *= 2;
  }
}

void ReplayPlayer::Restore(ScriptTarget& session, const Keyframe& key) {
  SessionSnapshot whole = key.Snapshot;
  whole.TheWorld.Catalogue = *key.Catalogue;
  whole.Front.Sources = *key.Sources;
  session.Restore(whole);
  runner_.SetPosition(key.Where);
}

bool ReplayPlayer::Advance(ScriptTarget& session, bool show) {
  const ScriptRunner::Result r = runner_.Prepare(session, Nowhere());
  if (r.stop == ScriptRunner::Stop::OutOfSync) {
    failedFrame_ = session.frontend().state().Frames;
    return true;
  }
  if (r.stop != ScriptRunner::Stop::Frame) return false;
  runner_.RunDueFrame(session, show);
  while (runner_.Checks(session, Nowhere()).stop == ScriptRunner::Stop::OutOfSync)
    failedFrame_ = session.frontend().state().Frames;
  return true;
}

ScriptRunner::Result ReplayPlayer::Step(ScriptTarget& session, bool show) {
  Busy busy(busy_);
  const ScriptRunner::Result r = runner_.Prepare(session, Nowhere());
  if (r.stop != ScriptRunner::Stop::Frame) return r;
  runner_.RunDueFrame(session, show);
  return runner_.Checks(session, Nowhere());
}

std::optional<uint64_t> ReplayPlayer::FirstFailure() const {
  std::optional<uint64_t> failed = failedFrame_;
  for (const ReplayMark& m : marks_)
    if (m.Kind == MarkKind::FailedCheck && (!failed || m.Frame < *failed)) failed = m.Frame;
  return failed;
}

bool ReplayPlayer::Seek(ScriptTarget& session, uint64_t frame) {
  Busy busy(busy_);
  frame = std::min(frame, length_);
  failedFrame_.reset();
  const uint64_t now = session.frontend().state().Frames;
  // The last keyframe at or before the target; from there unless the session is nearer.
  auto after = std::upper_bound(keys_.begin(), keys_.end(), frame,
                                [](uint64_t f, const Keyframe& k) { return f < k.Frame; });
  if (after != keys_.begin()) {
    const Keyframe& key = *std::prev(after);
    if (frame < now || key.Frame > now) {
      Restore(session, key);
      while (runner_.Checks(session, Nowhere()).stop == ScriptRunner::Stop::OutOfSync)
        failedFrame_ = key.Frame;
    }
  }
  while (session.frontend().state().Frames < frame) {
    if (!Advance(session, false)) break;
  }
  return !failedFrame_;
}

void ReplayPlayer::PlayToEnd(ScriptTarget& session) {
  Seek(session, length_);
  Busy busy(busy_);
  while (Advance(session, false)) {
  }
}

bool ReplayPlayer::Reload(Frontend& frontend) const {
  if (!opened_ || !data_) return false;
  frontend.AcceptLoadedData(*data_);
  Frontend::Saved saved = frontend.Save();
  saved.Sources = sources_;
  frontend.Restore(saved);
  return true;
}

bool ReplayPlayer::atEnd() const {
  const ScriptRunner::Position p = runner_.position();
  return p.ticksLeft == 0 && p.next >= runner_.script().size();
}

std::optional<ReplayMark> ReplayPlayer::NextMark(uint64_t frame) const {
  for (const ReplayMark& m : marks_)
    if (m.Frame > frame) return m;
  return std::nullopt;
}
