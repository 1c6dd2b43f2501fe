#include "app/ladder.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <iostream>
#include <numeric>

#include "app/ai_options.h"
#include "app/ladder_rating.h"
#include "app/state_hash.h"
#include "util/numtext.h"
#include "util/stats.h"

namespace {

constexpr double kZ = 1.96;  // the normal quantile of 95 % intervals

// "38.7 to  78.1 %" for k of n.
std::string WilsonText(uint64_t k, uint64_t n) {
  const Interval ci = WilsonInterval(k, n, kZ);
  return PadText(FloatToFixed(100 * ci.Low, 1), 5) + " to " +
         PadText(FloatToFixed(100 * ci.High, 1), 5) + " %";
}

// Rating points rounded, with their sign: "+212", "0", "-35".
std::string Points(double strength) {
  const long long p = std::llround(EloPoints(strength));
  return (p > 0 ? "+" : "") + std::to_string(p);
}

// What every line of a ladder must agree on, as one text.
std::string RunKey(const LadderInfo& l, uint64_t matches) {
  nlohmann::json key = {l.Names, l.Hashes, l.Games, l.FrameLimit, l.Seed, matches};
  return key.dump();
}

}  // namespace

LadderMatch LadderMatchOf(uint64_t k, size_t scripts) {
  const uint64_t others = scripts - 1;
  const uint64_t pairs = scripts * others;
  const uint64_t p = k % pairs;
  LadderMatch m;
  m.Game = k / pairs;
  m.Side0 = static_cast<size_t>(p / others);
  const auto j = static_cast<size_t>(p % others);
  m.Side1 = j < m.Side0 ? j : j + 1;
  return m;
}

nlohmann::ordered_json LadderJson(const MatchResult& r, const LadderInfo& l) {
  const LadderMatch m = LadderMatchOf(r.Match, l.Names.size());
  nlohmann::ordered_json j = MatchJson(r);
  j["ai"] = {l.Names[m.Side0], l.Names[m.Side1]};
  j["ladder"] = l.Names;
  nlohmann::ordered_json hashes = nlohmann::ordered_json::array();
  for (uint64_t h : l.Hashes) hashes.push_back(HashText(h));
  j["scripts"] = hashes;
  j["games"] = l.Games;
  return j;
}

std::optional<MatchResult> LadderFromJson(const std::string& line, LadderInfo& l,
                                          std::string& problem) {
  std::optional<MatchResult> r = MatchFromJson(line, problem);
  try {
    if (!r) throw std::invalid_argument("match");
    const nlohmann::json j = nlohmann::json::parse(line);
    l.Names = j.at("ladder").get<std::vector<std::string>>();
    l.Hashes.clear();
    for (const std::string& text : j.at("scripts").get<std::vector<std::string>>()) {
      uint64_t h = 0;
      auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), h, 16);
      if (ec != std::errc() || end != text.data() + text.size()) throw std::invalid_argument("h");
      l.Hashes.push_back(h);
    }
    l.Games = j.at("games").get<uint64_t>();
    const uint64_t k = l.Names.size();
    if (k < 2 || k > 1000 || l.Hashes.size() != k || l.Games == 0 ||
        r->Matches != k * (k - 1) * l.Games)
      throw std::invalid_argument("ladder");
    const LadderMatch m = LadderMatchOf(r->Match, l.Names.size());
    const auto ai = j.at("ai").get<std::vector<std::string>>();
    if (ai != std::vector<std::string>{l.Names[m.Side0], l.Names[m.Side1]})
      throw std::invalid_argument("ai");
    l.FrameLimit = r->FrameLimit;
    l.Seed = static_cast<uint32_t>(r->Seed - m.Game);
  } catch (const std::exception&) {
    problem = "not a line of a ladder";
    return std::nullopt;
  }
  return r;
}

void PrintLadder(const std::vector<MatchResult>& results, const LadderInfo& l, std::ostream& os) {
  const size_t k = l.Names.size();
  // wins[a][b]: a's wins over b; draws[a][b] for a < b.
  std::vector<std::vector<uint64_t>> wins(k, std::vector<uint64_t>(k, 0)), draws = wins;
  std::array<uint64_t, kMatchEnds> ends{};
  uint64_t drawn = 0;
  for (const MatchResult& r : results) {
    const LadderMatch m = LadderMatchOf(r.Match, k);
    ++ends[static_cast<size_t>(r.End)];
    drawn += !r.Winner;
    if (!r.Winner)
      ++draws[std::min(m.Side0, m.Side1)][std::max(m.Side0, m.Side1)];
    else if (*r.Winner == 0)
      ++wins[m.Side0][m.Side1];
    else
      ++wins[m.Side1][m.Side0];
  }
  const uint64_t n = results.size();
  os << "ladder: " << k << " AI scripts, " << n << " matches of at most " << l.FrameLimit
     << " frames, seeds " << l.Seed << " to " << static_cast<uint32_t>(l.Seed + l.Games - 1)
     << " on both sides\n";
  os << "draws: " << drawn << " (" << ends[static_cast<size_t>(MatchEnd::Limit)]
     << " at the frame limit, " << ends[static_cast<size_t>(MatchEnd::Stalemate)] << " stalemates, "
     << ends[static_cast<size_t>(MatchEnd::BothGone)] << " with both sides gone)\n";

  size_t width = 4;
  for (size_t a = 0; a < k; ++a)
    for (size_t b = a + 1; b < k; ++b)
      width = std::max(width, l.Names[a].size() + 3 + l.Names[b].size());
  os << PadText("pair", width, true) << PadText("games", 7);
  for (const char* name : {"wins", "losses", "draws"})
    os << PadText(name, 8) << "  " << PadText("95 % interval", 16);
  os << "\n";
  std::vector<PairGames> pairs;
  for (size_t a = 0; a < k; ++a) {
    for (size_t b = a + 1; b < k; ++b) {
      const uint64_t w = wins[a][b], lost = wins[b][a], d = draws[a][b], games = w + lost + d;
      os << PadText(l.Names[a] + " - " + l.Names[b], width, true)
         << PadText(std::to_string(games), 7);
      for (uint64_t count : {w, lost, d})
        os << PadText(std::to_string(count), 8) << "  " << WilsonText(count, games);
      os << "\n";
      pairs.push_back(
          {a, b, static_cast<double>(w), static_cast<double>(lost), static_cast<double>(d)});
    }
  }

  const Ratings fit = FitRatings(k, pairs);
  std::vector<size_t> order(k);
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(),
                   [&](size_t a, size_t b) { return fit.Strength[a] > fit.Strength[b]; });
  size_t nameWidth = 2;
  for (const std::string& name : l.Names) nameWidth = std::max(nameWidth, name.size());
  os << "ratings: Bradley-Terry with Davidson's draws, Elo scale, mean 0, 95 % interval from the "
        "Fisher information\n";
  os << PadText("AI", nameWidth, true) << PadText("rating", 8) << PadText("95 % interval", 16)
     << PadText("games", 6) << PadText("score", 9) << "\n";
  for (size_t i : order) {
    uint64_t games = 0;
    double score = 0;
    for (size_t j = 0; j < k; ++j) {
      if (j == i) continue;
      const uint64_t d = draws[std::min(i, j)][std::max(i, j)];
      games += wins[i][j] + wins[j][i] + d;
      score += static_cast<double>(wins[i][j]) + 0.5 * static_cast<double>(d);
    }
    const double s = fit.Strength[i], e = kZ * fit.Error[i];
    os << PadText(l.Names[i], nameWidth, true) << PadText(Points(s), 8) << PadText(Points(s - e), 7)
       << " to " << PadText(Points(s + e), 5, true) << PadText(std::to_string(games), 6)
       << PadText(FloatToFixed(games ? 100 * score / static_cast<double>(games) : 0, 1), 7)
       << " %\n";
  }
  os << "draw factor: " << FloatToFixed(fit.DrawFactor, 2) << "\n" << std::flush;
}

int RunLadder(const LadderOptions& options, std::ostream& out, std::ostream& err) {
  MatchData data;
  if (const std::optional<int> status = data.Load(options.Play.LevelFile, err)) return *status;
  LadderInfo info;
  info.Names = options.Scripts;
  info.Games = options.Games;
  info.FrameLimit = options.Play.MaxFrames;
  info.Seed = options.Play.Seed;
  std::vector<AiFile> files;
  for (const std::string& name : options.Scripts) {
    const std::optional<AiFiles> ai = ReadAiOptions({"0=" + name}, err);
    if (ai) {
      files.push_back(*(*ai)[0]);
      info.Hashes.push_back(files.back().Hash);
    }
  }
  if (files.size() != options.Scripts.size()) {
    err << "rtsdemo: the AI scripts cannot be played; nothing played\n";
    return 1;
  }
  const BatchOptions& play = options.Play;
  double seconds = 0;
  const std::vector<MatchResult> results = PlayAndPrint(
      ShardRange(play.Matches, play.Shard, play.Shards), play.Jobs,
      [&](uint64_t k) {
        const LadderMatch m = LadderMatchOf(k, files.size());
        const AiFiles sides = {files[m.Side0], files[m.Side1]};
        const auto seed = static_cast<uint32_t>(play.Seed + m.Game);
        MatchResult r = RunMatch(data.world(), k, seed, play.MaxFrames, data.level(), &sides);
        r.Matches = play.Matches;
        return r;
      },
      [&](const MatchResult& r) { return LadderJson(r, info).dump(); }, "ladder", out, err,
      seconds);
  PrintLadder(results, info, err);
  err << TimeLine(results.size(), seconds);
  return 0;
}

int RunSummarize(const std::vector<std::string>& files, std::istream& in, std::ostream& out,
                 std::ostream& err) {
  const std::optional<std::vector<ResultLine>> lines = ReadResultLines(files, in, err);
  if (!lines) return 2;
  // The first line that is an object tells a ladder from a batch.
  bool isLadder = false;
  for (const ResultLine& line : *lines) {
    const nlohmann::json j = nlohmann::json::parse(line.Text, nullptr, false);
    if (!j.is_object()) continue;
    isLadder = j.contains("ladder");
    break;
  }
  if (!isLadder) return SummarizeBatch(*lines, out, err);

  std::optional<LadderInfo> ladder;  // of the first line that reads
  bool faulty = false;
  const std::vector<MatchResult> results = MergeResults(
      *lines,
      [&](const std::string& line, std::string& run, std::string& problem) {
        LadderInfo info;
        std::optional<MatchResult> r = LadderFromJson(line, info, problem);
        if (!r) return r;
        run = RunKey(info, r->Matches);
        if (!ladder) ladder = info;
        return r;
      },
      "ladder", err, faulty);
  if (results.empty()) return 1;
  PrintLadder(results, *ladder, out);
  return faulty ? 1 : 0;
}
