#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <sstream>

#include "app/script.h"
#include "sound/placement.h"
#include "sound/sound_events.h"
#include "sound/sound_player.h"
#include "sound/voices.h"
#include "sound/wav.h"
#include "test_files.h"
#include "test_world.h"
#include "util/cp1251.h"

namespace {

// A worker (a cutting and a crushing attack), a base and a deposit in both races.
World SoundWorld() {
  BasicTypes t;
  t.Worker.Energies = {{"hp", 10, 0}};
  t.Worker.Attacks = {{"axe", ToCp1251("рубящий"), 1, "", 0}, {"club", "x", 1, "", 0}};
  t.Worker.PriceResources = {{"gold", 5, 0}};
  t.Base.PriceResources = {{"gold", 5, 0}};
  World w;
  w.Catalogue = {TRassa{{t.Worker, t.Base, t.Deposit}}, TRassa{{t.Worker, t.Base, t.Deposit}}};
  return w;
}

std::vector<SoundKind> Kinds(const std::vector<SoundEvent>& events) {
  std::vector<SoundKind> out;
  for (const SoundEvent& e : events) out.push_back(e.Kind);
  return out;
}

using K = SoundKind;

}  // namespace

TEST(SoundPlacement, PansByPositionAndFadesBeyondTheView) {
  const ViewArea view{100, 50, 200, 100};
  const Placement centre = Place(view, 100, 50);
  EXPECT_TRUE(centre.Heard);
  EXPECT_FLOAT_EQ(centre.Gain, 1);
  EXPECT_FLOAT_EQ(centre.Pan, 0);
  const Placement leftEdge = Place(view, -100, 50);
  EXPECT_FLOAT_EQ(leftEdge.Pan, -1);
  EXPECT_FLOAT_EQ(leftEdge.Gain, kEdgeGain);
  EXPECT_FLOAT_EQ(Place(view, 200, 50).Pan, 0.5f);
  // Half a view beyond the top edge: half the edge's gain, panned by x alone.
  const Placement above = Place(view, 100, 200);
  EXPECT_TRUE(above.Heard);
  EXPECT_FLOAT_EQ(above.Gain, kEdgeGain / 2);
  EXPECT_FLOAT_EQ(above.Pan, 0);
  // Far outside, and positions that are no numbers, are not played.
  EXPECT_FALSE(Place(view, 100 + 400, 50).Heard);
  EXPECT_FALSE(Place(view, 100, 50 - 250).Heard);
  EXPECT_FALSE(Place(view, NAN, 0).Heard);
  EXPECT_FALSE(Place(view, 0, INFINITY).Heard);
  // A view of no size does not divide by zero.
  EXPECT_TRUE(Place(ViewArea{0, 0, 0, 0}, 0.5f, 0).Heard);
}

TEST(SoundVoices, SixteenAtMostTheOldestOfTheSameKindGivingWay) {
  VoicePool pool;
  std::array<bool, kVoices> playing{};
  for (int v = 0; v < kVoices; ++v) {
    const int got = pool.Take(v < 10 ? K::BlowCut : K::Ore, playing);
    EXPECT_EQ(got, v);
    playing[static_cast<size_t>(got)] = true;
  }
  // All play: a blow takes the oldest blow, then the next oldest.
  EXPECT_EQ(pool.Take(K::BlowCut, playing), 0);
  EXPECT_EQ(pool.Take(K::BlowCut, playing), 1);
  EXPECT_EQ(pool.Take(K::Ore, playing), 10);
  // A kind that plays nowhere gets no voice; the match's end takes the oldest of any.
  EXPECT_EQ(pool.Take(K::DeathUnit, playing), -1);
  EXPECT_EQ(pool.Take(K::Victory, playing), 2);
  // A voice that fell silent is free again whatever it played.
  playing[7] = false;
  EXPECT_EQ(pool.Take(K::DeathUnit, playing), 7);
  EXPECT_EQ(pool.KindOf(7), K::DeathUnit);
}

TEST(SoundVoices, FastSpeedsPlayAKindOncePer50Ms) {
  RateLimit limit;
  EXPECT_TRUE(limit.Allow(K::Ore, 1000, false));
  EXPECT_TRUE(limit.Allow(K::Ore, 1001, false));  // x1 and slower: no limit
  EXPECT_TRUE(limit.Allow(K::Ore, 2000, true));
  EXPECT_FALSE(limit.Allow(K::Ore, 2049, true));
  EXPECT_TRUE(limit.Allow(K::BlowCut, 2049, true));  // each kind on its own
  EXPECT_TRUE(limit.Allow(K::Ore, 2050, true));
  EXPECT_FALSE(limit.Allow(K::Ore, 2060, true));
}

TEST(SoundEvents, EachEventOfTheRulesIsFoundOnceWhereItHappens) {
  World w = SoundWorld();
  TObyekt& a = Spawn(w, kWorkerKind, 0, 10, 20);
  a.Cargo = {0};
  Spawn(w, kBaseKind, 0, 100, 0);
  Spawn(w, kWorkerKind, 1, 300, 0);
  EventFinder finder;
  finder.Rebase(w, -1);
  EXPECT_TRUE(finder.Frame(w, -1, -1).empty());

  // An attack begins with a cutting blow; the next frames of its animation are silent, the
  // animation starting again is the next blow, of the attack the object uses now.
  w.Objects[0].Thought1 = "atakovat 2";
  w.Objects[0].Action = kActionWork;
  w.Objects[0].Frame = 0.1f;
  std::vector<SoundEvent> e = finder.Frame(w, -1, -1);
  ASSERT_EQ(Kinds(e), std::vector<K>{K::BlowCut});
  EXPECT_EQ(e[0].X, 10);
  EXPECT_EQ(e[0].Y, 20);
  w.Objects[0].Frame = 0.2f;
  EXPECT_TRUE(finder.Frame(w, -1, -1).empty());
  w.Objects[0].Frame = 0.1f;
  w.Objects[0].AttackIndex = 1;
  EXPECT_EQ(Kinds(finder.Frame(w, -1, -1)), std::vector<K>{K::BlowCrush});
  // Working on a building is no blow; its first payment is heard, a base's training is not.
  w.Objects[0].Thought1 = "stroyka 1,0,0";
  w.Objects[0].Frame = 0;
  w.Objects[0].BuildProgress = 1;
  w.Objects[1].BuildProgress = 1;
  EXPECT_EQ(Kinds(finder.Frame(w, -1, -1)), std::vector<K>{K::BuildBegun});

  // A delivery: the cargo gone and the side's money up; cargo gone without money is no sale.
  w.Objects[0].Cargo = {40};
  finder.Rebase(w, -1);
  w.Objects[0].Cargo = {0};
  EXPECT_TRUE(finder.Frame(w, -1, -1).empty());
  w.Objects[0].Cargo = {40};
  finder.Rebase(w, -1);
  w.Objects[0].Cargo = {0};
  w.Sides[0].Money += 40;
  EXPECT_EQ(Kinds(finder.Frame(w, -1, -1)), std::vector<K>{K::Ore});

  // Deaths by type, spawns by type; the dead stay silent.
  w.Objects[1].Energy[0] = 0;
  w.Objects[2].Energy[0] = -1;
  Spawn(w, kBaseKind, 0, 50, 50);
  Spawn(w, kWorkerKind, 0, 60, 60);
  EXPECT_EQ(Kinds(finder.Frame(w, -1, -1)),
            (std::vector<K>{K::DeathBuilding, K::DeathUnit, K::BuildDone, K::Trained}));
  EXPECT_TRUE(finder.Frame(w, -1, -1).empty());

  // A command's change (a rebase) is not heard.
  w.Objects[0].Energy[0] = 0;
  finder.Rebase(w, -1);
  EXPECT_TRUE(finder.Frame(w, -1, -1).empty());
}

TEST(SoundEvents, OrdersAreAcknowledgedInTheirRacesVoiceAndTheMatchsEndOnce) {
  World w = SoundWorld();
  Spawn(w, kWorkerKind, 0, 0, 0);
  SpawnObject(w, 1, kWorkerKind, 1, 40, 0, 0);
  EventFinder finder;
  finder.Rebase(w, -1);
  // A right click with nobody selected, or the selected without an order, says nothing.
  finder.OrderGiven();
  EXPECT_TRUE(finder.Frame(w, -1, -1).empty());
  w.Objects[1].Selected = true;
  finder.OrderGiven();
  EXPECT_TRUE(finder.Frame(w, -1, -1).empty());
  w.Objects[1].Thought1 = "idti 5,5";
  EXPECT_TRUE(finder.Frame(w, -1, -1).empty());  // no click: the computer's order
  finder.OrderGiven();
  const std::vector<SoundEvent> e = finder.Frame(w, -1, -1);
  ASSERT_EQ(Kinds(e), std::vector<K>{K::AckOrc});
  EXPECT_EQ(e[0].X, 40);
  // In a network match the flags may hold another player's selection: this player's counts.
  const std::vector<int32_t> mine{0}, none;
  w.Objects[0].Thought1 = "idti 1,1";
  finder.OrderGiven();
  ASSERT_EQ(Kinds(finder.Frame(w, -1, -1, &mine)), std::vector<K>{K::AckHuman});
  finder.OrderGiven();
  EXPECT_TRUE(finder.Frame(w, -1, -1, &none).empty());

  // Victory for the winner's player (and when the computer plays both), defeat for the other.
  EventFinder both, side0, side1;
  for (EventFinder* f : {&both, &side0, &side1}) f->Rebase(w, -1);
  const std::vector<SoundEvent> end = both.Frame(w, 1, -1);
  ASSERT_EQ(Kinds(end), std::vector<K>{K::Victory});
  EXPECT_FALSE(end[0].Placed);
  EXPECT_TRUE(both.Frame(w, 1, -1).empty());
  EXPECT_EQ(Kinds(side0.Frame(w, 1, 0)), std::vector<K>{K::Defeat});
  EXPECT_EQ(Kinds(side1.Frame(w, 1, 1)), std::vector<K>{K::Victory});
}

// The player on a headless session, without a device: what it would start, and when.
TEST(SoundPlayer, KeepsToTheViewThePaceAndOneOfAKindPerFrame) {
  const std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(RTS_SOURCE_DIR "/data");
  RecordingPlatform platform;
  platform.fixedSeed = 5;
  HeadlessHost host(platform);
  int64_t now = 0;
  SoundOptions options;
  options.openDevice = false;
  options.clock = [&now] { return now; };
  std::ostringstream err;
  SoundPlayer player(options, err);
  player.KeepLog(true);
  host.wiring().listener = &player;
  std::ostringstream out;
  // The view shows world x 0..400, y 0..300; a deposit at x 1000 lies too far out.
  host.Run("resize 400 300\npress 1\npress 2\ntick\n", out);
  const int32_t first = static_cast<int32_t>(host.world().Objects.size());
  host.Run(
      "spawn 0 3 2 100 100 0\nspawn 0 3 2 130 100 0\nspawn 1 3 3 115 115 0\n"
      "spawn 0 0 2 1000 100 0\nspawn 1 0 3 1015 110 0\ntick 3\n",
      out);
  // Two swordsmen and a brute fight in view, a pair far away: only the fight in view is heard,
  // one sound of a kind a frame.
  const std::vector<SoundPlayer::Started>& started = player.started();
  ASSERT_FALSE(started.empty());
  for (size_t i = 0; i < started.size(); ++i) {
    EXPECT_LE(std::fabs(started[i].Pan), 0.5f) << i;
    for (size_t j = 0; j < i; ++j)
      EXPECT_FALSE(started[i].Kind == started[j].Kind && started[i].Frame == started[j].Frame);
  }
  EXPECT_GE(host.world().Objects.size(), static_cast<size_t>(first + 5));

  // Paused: a stepped frame is silent. x2 and faster: a kind at most once per 50 ms.
  player.SetVolume(0.55f);
  EXPECT_FLOAT_EQ(player.volume(), 0.6f);
  const size_t before = player.started().size();
  host.pace().SetPaused(true);
  host.Run("set " + std::to_string(first) + " Energy0 0.1\ntick 2\n", out);
  EXPECT_EQ(player.started().size(), before);
  host.pace().SetPaused(false);
  host.pace().Faster();  // x2
  for (int i = 0; i < 20; ++i) {
    const std::string brute = std::to_string(first + 2);
    host.Run("set " + brute + " Thought1 atakovat " + std::to_string(first + 1) + "\nset " + brute +
                 " Frame 9\ntick\n",
             out);
    now += 10;
  }
  int blows = 0;
  for (size_t i = before; i < player.started().size(); ++i)
    blows += player.started()[i].Kind == K::BlowCut;
  EXPECT_GE(blows, 3);
  EXPECT_LE(blows, 4);  // 200 ms at one per 50 ms
  std::filesystem::current_path(previous);
}

// The shipped sounds: every kind's file, 16-bit mono, no clipping, no click, no offset.
TEST(SoundFiles, ShippedSoundsAreCleanAndShort) {
  for (const char* file : kSoundFiles) {
    Wav wav;
    std::string error;
    const std::string path = std::string(RTS_SOURCE_DIR "/data/") + kSoundFolder + "/" + file;
    ASSERT_TRUE(ParseWav(ReadAll(path), wav, error)) << file << ": " << error;
    EXPECT_EQ(wav.Channels, 1) << file;
    ASSERT_FALSE(wav.Samples.empty()) << file;
    const double seconds = static_cast<double>(wav.Samples.size()) / wav.Rate;
    const bool long_ = std::string(file) == "victory.wav" || std::string(file) == "defeat.wav";
    EXPECT_LE(seconds, long_ ? 4.0 : 0.7) << file;
    int peak = 0;
    double sum = 0;
    for (int16_t s : wav.Samples) {
      peak = std::max(peak, std::abs(static_cast<int>(s)));
      sum += s;
    }
    EXPECT_LT(peak, 29204) << file << ": above -1 dBFS";
    EXPECT_GT(peak, 8000) << file << ": too quiet";
    EXPECT_LT(std::fabs(sum / static_cast<double>(wav.Samples.size())), 30) << file;
    EXPECT_EQ(wav.Samples.front(), 0) << file;
    EXPECT_EQ(wav.Samples.back(), 0) << file;
  }
  // Not WAV, another sample format, or a chunk past the end: refused or cut, never overread.
  Wav wav;
  std::string error;
  EXPECT_FALSE(ParseWav("RIFF", wav, error));
  std::string bytes = ReadAll(RTS_SOURCE_DIR "/data/sounds/ore.wav");
  std::string eightBit = bytes;
  eightBit[34] = 8;
  EXPECT_FALSE(ParseWav(eightBit, wav, error));
  EXPECT_EQ(error, "not 16-bit PCM with one or two channels");
  ASSERT_TRUE(ParseWav(bytes.substr(0, 100), wav, error));
  EXPECT_EQ(wav.Samples.size(), 28u);
  EXPECT_FALSE(ParseWav(bytes.substr(0, 40), wav, error));
}
