#include "game/data_check.h"

#include <algorithm>
#include <array>
#include <deque>
#include <map>
#include <set>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "game/level.h"
#include "game/loader.h"
#include "util/counting_uploader.h"
#include "util/cp1251.h"
#include "util/echo_text.h"
#include "util/numtext.h"

namespace {

constexpr size_t kRaces = 2;  // the rows the rules read
constexpr size_t kShownAnimations = 4;
const char* const kAnimationNames[kShownAnimations] = {
    "standing and walking", "attacking and building", "dying", "walking loaded"};
constexpr int32_t kHeadings = 5;  // sheet columns

std::string Q(const std::string& cp1251) {
  return "\"" + EchoCp1251(cp1251) + "\"";
}

std::string Count(size_t n, const char* one, const char* many) {
  return IntToStr(int64_t(n)) + " " + (n == 1 ? one : many);
}

// Why a type can appear in a match: spawned (and so drawn) and built (and so priced).
struct Role {
  bool spawned = false;
  bool built = false;
  std::string builtBy;  // what builds it, for the price error
};

class Checker {
 public:
  Checker(const World& world, const DataSources& sources, DataProblems& problems)
      : world_(world), sources_(sources), problems_(problems) {}

  void Run() {
    for (size_t r = 0; r < kRaces; ++r) {
      if (!RowPresent(r)) continue;
      roles_[r].assign(world_.Catalogue[r].Types.size(), {});
      IndexNames(r);
      FixedTypes(r);
    }
    Spawnable();
    for (size_t r = 0; r < kRaces; ++r) {
      if (!RowPresent(r)) continue;
      for (size_t k = 0; k < world_.Catalogue[r].Types.size(); ++k) Type(r, k);
      Names(r);
    }
  }

 private:
  // A row the check looks into; a missing row or unread list is reported once, here.
  bool RowPresent(size_t r) {
    if (r < sources_.Races.size() && !sources_.Races[r].ListRead) return false;
    if (r < world_.Catalogue.size()) return true;
    if (!reportedMissing_[r]) {
      reportedMissing_[r] = true;
      problems_.Add({ListPath(r), 0, true, "race " + IntToStr(int64_t(r)) + " is missing"});
    }
    return false;
  }

  std::string ListPath(size_t r) const {
    if (r < sources_.Races.size() && !sources_.Races[r].ListPath.empty())
      return sources_.Races[r].ListPath;
    static_assert(std::size(kRaceLists) == kRaces);
    return DisplayPath(std::string(kRaceLists[r].Folder) + kRaceLists[r].ListName);
  }

  const TypeSource* Source(size_t r, size_t k) const {
    if (r >= sources_.Races.size() || k >= sources_.Races[r].Types.size()) return nullptr;
    return &sources_.Races[r].Types[k];
  }

  const TOpisan& TypeAt(size_t r, size_t k) const { return world_.Catalogue[r].Types[k]; }

  // A problem of type k at `line`; 0 stands for the type's "название" line.
  void Add(size_t r, size_t k, int32_t line, bool error, std::string text) {
    const TypeSource* s = Source(r, k);
    DataProblem p;
    if (s != nullptr && !s->Path.empty()) {
      p.Path = s->Path;
      p.Line = line > 0 ? line : s->NameLine;
    } else {
      p.Path = "race " + IntToStr(int64_t(r)) + ", type " + IntToStr(int64_t(k));
    }
    p.Error = error;
    p.Text = std::move(text);
    problems_.Add(std::move(p));
  }

  static int32_t LineOf(const std::vector<int32_t>& lines, size_t i) {
    return i < lines.size() ? lines[i] : 0;
  }

  std::string Label(size_t r, size_t k) const {
    return "type " + IntToStr(int64_t(k)) + " of race " + IntToStr(int64_t(r)) + " (" +
           Q(TypeAt(r, k).Name) + ")";
  }

  // The types the test level places and the computer opponent builds by index.
  void FixedTypes(size_t r) {
    const size_t have = world_.Catalogue[r].Types.size();
    struct Needed {
      size_t kind;
      const char* what;
    };
    const Needed needed[] = {{0, "the test level places type 0 (the worker)"},
                             {1, "the computer opponent builds type 1 (the base)"},
                             {2, "the test level places type 2 (the deposit)"}};
    for (const Needed& n : needed) {
      if (n.kind == 2 && r != 0) continue;
      if (n.kind < have) continue;
      problems_.Add({ListPath(r), 0, true,
                     "race " + IntToStr(int64_t(r)) + " has " + Count(have, "type", "types") +
                         ", but " + n.what});
      return;
    }
    const TOpisan& worker = TypeAt(r, 0);
    if (worker.Speeds.empty())
      Add(r, 0, 0, false,
          Label(r, 0) +
              " is the worker, but it has no \"скорость\" line: it never walks to a "
              "deposit or an enemy");
    if (worker.Mining.empty())
      Add(r, 0, 0, false,
          Label(r, 0) +
              " is the worker, but it has no \"добыча\" line: it never mines, so its "
              "side earns nothing");
    if (worker.Buildables.empty())
      Add(r, 0, 0, false,
          Label(r, 0) +
              " is the worker, but it has no \"стройка\" line: it cannot build the "
              "base the computer opponent orders");
    if (TypeAt(r, 1).Buildables.empty())
      Add(r, 1, 0, false,
          Label(r, 1) +
              " is the base, but it has no \"стройка\" line: it cannot train the "
              "workers the computer opponent orders");
    if (r == 0 && !TypeAt(0, 2).IsResource)
      Add(0, 2, 0, false,
          Label(0, 2) +
              " is the deposit the test level places, but it has no \"ресурс\" line: "
              "workers attack it instead of mining it");
  }

  // Each name of the race to its last type, built once.
  void IndexNames(size_t r) {
    const auto& types = world_.Catalogue[r].Types;
    names_[r].clear();
    names_[r].reserve(types.size());
    for (size_t j = 0; j < types.size(); ++j) names_[r][types[j].Name] = int64_t(j);
  }

  // The last type of the race with that name, as the build command resolves it; -1: none.
  int64_t Resolve(size_t r, const std::string& name) const {
    const auto at = names_[r].find(name);
    return at == names_[r].end() ? -1 : at->second;
  }

  // Every type an object can be spawned from: the test level's, then whatever a spawnable
  // type builds, by the opponent's fixed index or by a "стройка" name.
  void Spawnable() {
    std::deque<std::pair<size_t, size_t>> queue;
    auto spawn = [&](size_t r, size_t k) {
      if (k >= roles_[r].size() || roles_[r][k].spawned) return;
      roles_[r][k].spawned = true;
      queue.emplace_back(r, k);
    };
    auto build = [&](size_t r, size_t k, std::string by) {
      if (k >= roles_[r].size()) return;
      if (!roles_[r][k].built) roles_[r][k].builtBy = std::move(by);
      roles_[r][k].built = true;
      spawn(r, k);
    };
    for (size_t r = 0; r < kRaces; ++r) {
      spawn(r, 0);
      if (r == 0) spawn(r, 2);
    }
    while (!queue.empty()) {
      auto [r, k] = queue.front();
      queue.pop_front();
      const TOpisan& type = TypeAt(r, k);
      if (type.Buildables.empty()) continue;  // it refuses every build order
      if (k == 0) build(r, 1, "the computer opponent has workers build it");
      if (k == 1) build(r, 0, "the computer opponent has bases train it");
      const TypeSource* s = Source(r, k);
      for (size_t b = 0; b < type.Buildables.size(); ++b) {
        const int64_t t = Resolve(r, type.Buildables[b]);
        if (t < 0) continue;
        std::string by = "the \"стройка\" line of " + Q(type.Name);
        if (s != nullptr && !s->Path.empty())
          by += " at " + s->Path + ":" + IntToStr(LineOf(s->Buildables, b));
        build(r, size_t(t), by + " builds it");
      }
    }
  }

  // "стройка" names that are no type; two types of one name (the build command takes the
  // later one).
  void Names(size_t r) {
    const auto& types = world_.Catalogue[r].Types;
    for (size_t k = 0; k < types.size(); ++k) {
      const TypeSource* s = Source(r, k);
      for (size_t b = 0; b < types[k].Buildables.size(); ++b) {
        const std::string& name = types[k].Buildables[b];
        if (Resolve(r, name) >= 0) continue;
        Add(r, k, s != nullptr ? LineOf(s->Buildables, b) : 0, false,
            "\"стройка\" names " + Q(name) + ", which is no type of race " + IntToStr(int64_t(r)) +
                "; a build order for it does nothing");
      }
    }
    std::map<std::string, size_t> first;
    for (size_t k = 0; k < types.size(); ++k) {
      auto [at, fresh] = first.emplace(types[k].Name, k);
      if (fresh) continue;
      const TypeSource* was = Source(r, at->second);
      const std::string where = was != nullptr && !was->Path.empty()
                                    ? was->Path + ":" + IntToStr(was->NameLine)
                                    : "type " + IntToStr(int64_t(at->second));
      Add(r, k, 0, false,
          "a second type named " + Q(types[k].Name) + " (the first is at " + where +
              "): build orders for the name take the later one");
    }
  }

  // Which animations objects of the type can show: 0 always (spawn, idle), 2 when dying,
  // 1 when it can attack or build, 3 when it can walk with cargo.
  static std::array<bool, kShownAnimations> Shown(const TOpisan& t) {
    return {true, !t.Attacks.empty() || !t.Buildables.empty(), true,
            !t.Speeds.empty() && (!t.Mining.empty() || t.IsResource)};
  }

  void Type(size_t r, size_t k) {
    const TOpisan& t = TypeAt(r, k);
    const Role& role = roles_[r][k];
    const TypeSource* s = Source(r, k);
    static const TypeSource kNone;
    const TypeSource& src = s != nullptr ? *s : kNone;
    // What would be read outside an array on a spawned type only loads elsewhere.
    const bool fatal = role.spawned;
    const std::string unused = fatal ? "" : " (the type is never spawned, so it loads)";

    if (t.Energies.empty()) {
      Add(r, k, 0, fatal,
          "type " + Q(t.Name) + " has no \"энергия\" line: its objects would have no health" +
              unused);
    } else if (role.spawned && !(t.Energies[0].Value > 0)) {
      Add(r, k, LineOf(src.Energies, 0), false,
          "\"энергия\" entry 0 gives health " + FloatToStrG15(t.Energies[0].Value) +
              ": its objects are dead when they appear");
    }

    if (role.built && t.PriceResources.empty()) {
      Add(r, k, 0, true,
          "type " + Q(t.Name) + " has no \"цена\" / \"]ресурсы\" line (its build time), but " +
              role.builtBy);
    }

    const auto shown = Shown(t);
    const size_t sheets = t.Textures.size();
    for (size_t a = 0; a < kShownAnimations; ++a) {
      const std::string which =
          "animation " + IntToStr(int64_t(a)) + " (" + kAnimationNames[a] + ")";
      const bool needed = shown[a];
      const std::string note = needed ? unused : " (nothing shows this animation)";
      const bool error = needed && fatal;
      if (a >= t.Animations.size()) {
        if (needed)
          Add(r, k, 0, error,
              "type " + Q(t.Name) + " has " +
                  Count(t.Animations.size(), "\"индексы\" line", "\"индексы\" lines") +
                  ", but its objects show " + which + note);
        continue;
      }
      const TKadri& anim = t.Animations[a];
      const int32_t line = LineOf(src.Animations, a);
      if (anim.Frames.empty())
        Add(r, k, line, error, "\"индексы\" line of " + which + " names no frame" + note);
      if (anim.TextureIndex < 0 || size_t(anim.TextureIndex) >= sheets)
        Add(r, k, line, error,
            "\"индексы\" names texture " + IntToStr(anim.TextureIndex) + ", but the type has " +
                Count(sheets, "sprite sheet", "sprite sheets") + note);
    }
    for (size_t a = kShownAnimations; a < t.Animations.size(); ++a) {
      Add(r, k, LineOf(src.Animations, a), false,
          "animation " + IntToStr(int64_t(a)) + " is never shown: objects show animations 0 to 3");
    }
    Sheet(r, k, t, src, s != nullptr, role.spawned);
  }

  // Cell geometry: warnings only, the sizes are ratios and index no array.
  void Sheet(size_t r, size_t k, const TOpisan& t, const TypeSource& src, bool known,
             bool spawned) {
    const int32_t line = src.Parameters;
    // Without sources only the sizes tell.
    if (known && line == 0) {
      if (spawned)
        Add(r, k, 0, false,
            "type " + Q(t.Name) +
                " has no \"параметры\" line: its objects are drawn with no "
                "size and cannot be picked");
      return;
    }
    if (spawned && !(t.Radius > 0))
      Add(r, k, line, false,
          "\"параметры\" radius " + IntToStr(RoundHalfEven(t.Radius)) +
              ": its objects cannot be picked with the mouse");
    if (t.SheetWidth <= 0 || t.SheetHeight <= 0 || t.FrameWidth <= 0 || t.FrameHeight <= 0) {
      Add(r, k, line, false,
          "\"параметры\" give a sheet of " + IntToStr(t.SheetWidth) + " x " +
              IntToStr(t.SheetHeight) + " with cells of " + IntToStr(t.FrameWidth) + " x " +
              IntToStr(t.FrameHeight) + ": every size must be above 0 for a cell to be drawn");
      return;
    }
    const int32_t columns = t.SheetWidth / t.FrameWidth;
    const int32_t rows = t.SheetHeight / t.FrameHeight;
    if (columns < kHeadings)
      Add(r, k, line, false,
          "\"параметры\": the sheet has room for " + Count(size_t(columns), "column", "columns") +
              " of cells, but the five headings use 5");
    for (size_t i = 0; i < src.Bitmaps.size() && i < t.Textures.size(); ++i) {
      const BitmapSize b = src.Bitmaps[i];
      if (b.Width <= 0 || b.Height <= 0) continue;
      if (int64_t(b.Width) * t.SheetHeight != int64_t(b.Height) * t.SheetWidth)
        Add(r, k, line, false,
            "\"параметры\" declare a sheet of " + IntToStr(t.SheetWidth) + " x " +
                IntToStr(t.SheetHeight) + ", but the sprite sheet at line " +
                IntToStr(LineOf(src.Textures, i)) + " is " + IntToStr(b.Width) + " x " +
                IntToStr(b.Height) + " pixels: its cells are cut at the wrong places");
    }
    for (size_t a = 0; a < t.Animations.size() && a < kShownAnimations; ++a) {
      for (int32_t row : t.Animations[a].Frames) {
        if (row >= 1 && row <= rows) continue;
        Add(r, k, LineOf(src.Animations, a), false,
            "\"индексы\" row " + IntToStr(row) + " is outside the sheet's " +
                Count(size_t(rows), "row", "rows"));
        break;
      }
    }
  }

  const World& world_;
  const DataSources& sources_;
  DataProblems& problems_;
  std::array<std::vector<Role>, kRaces> roles_;
  std::array<std::unordered_map<std::string_view, int64_t>, kRaces> names_;
  std::array<bool, kRaces> reportedMissing_{};
};

// A catalogue warning (from `first` on) on a line where reading failed follows from the
// partly filled entry: it is left out.
void DropShadowedWarnings(DataProblems& problems, size_t first) {
  std::set<std::pair<std::string_view, int32_t>> failed;
  for (size_t i = 0; i < first && i < problems.size(); ++i) {
    if (problems[i].Error && problems[i].Line > 0)
      failed.emplace(problems[i].Path, problems[i].Line);
  }
  DataProblems kept(problems.begin(), problems.begin() + std::min(first, problems.size()));
  for (size_t i = kept.size(); i < problems.size(); ++i) {
    const DataProblem& p = problems[i];
    const bool shadowed = !p.Error && failed.count({p.Path, p.Line}) > 0;
    if (!shadowed) kept.push_back(p);
  }
  problems = std::move(kept);
}

}  // namespace

void CheckCatalogue(const World& world, const DataSources& sources, DataProblems& problems) {
  Checker(world, sources, problems).Run();
}

std::string ValidateCatalogue(const World& world) {
  DataProblems problems;
  CheckCatalogue(world, DataSources{}, problems);
  for (const DataProblem& p : problems) {
    if (p.Error) return FormatProblem(p);
  }
  return {};
}

std::string RefusalText(const DataProblems& problems) {
  std::string first;
  for (const DataProblem& p : problems) {
    if (p.Error) {
      first = FormatProblem(p);
      break;
    }
  }
  const size_t errors = ErrorCount(problems);
  if (errors > 1)
    first += "\n(" + Count(errors, "error", "errors") + " in all; rtsdemo --check lists them)";
  return first;
}

void PrintProblems(const DataProblems& problems, const DataSources& sources, std::ostream& out) {
  // Files read keep their reading order; any other keeps the order of its first problem.
  std::map<std::string, size_t> rank;
  for (const std::string& file : sources.Files) rank.emplace(file, rank.size());
  for (const DataProblem& p : problems) rank.emplace(p.Path, rank.size());
  std::vector<const DataProblem*> sorted;
  for (const DataProblem& p : problems) sorted.push_back(&p);
  std::stable_sort(sorted.begin(), sorted.end(), [&](const DataProblem* a, const DataProblem* b) {
    const size_t ra = rank[a->Path];
    const size_t rb = rank[b->Path];
    return ra != rb ? ra < rb : a->Line < b->Line;
  });
  for (const DataProblem* p : sorted) out << FormatProblem(*p) << "\n";
}

int RunCheck(std::ostream& out, const std::vector<std::string>& levels, const DataProblems& more) {
  SilentPlatform platform;  // a check decodes bitmaps itself and shows nothing
  CountingUploader uploader;
  World world;
  DataSources sources;
  DataProblems problems;
  LoadContext context{platform, uploader, &sources, &problems, true};
  LoadGameData(world, context);
  const size_t read = problems.size();
  CheckCatalogue(world, sources, problems);
  DropShadowedWarnings(problems, read);
  CheckLevels(world, levels, problems);
  for (const DataProblem& p : more) problems.Add(p);
  PrintProblems(problems, sources, out);
  const size_t errors = ErrorCount(problems);
  out << Count(errors, "error", "errors") << ", "
      << Count(WarningCount(problems), "warning", "warnings") << std::endl;
  return errors > 0 ? 1 : 0;
}
