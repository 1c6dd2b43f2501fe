#include "app/stats_charts.h"

#include <algorithm>
#include <functional>

#include "app/replay.h"
#include "app/session.h"
#include "util/cp1251.h"
#include "util/translate.h"

namespace {

using Figure = std::function<double(const StatsSample&)>;

struct Line {
  const char* Name;
  Figure Of;
  ChartStroke Stroke;
};

StatsChart Chart(const MatchStats& stats, const char* title, const char* name,
                 const std::vector<Line>& lines, const std::vector<double>& marks) {
  StatsChart chart{Tr("charts", title), name, Tr("charts", "seconds"), {}, 1, 1, {}};
  chart.Last = std::max<double>(1, static_cast<double>(stats.samples()) - 1);
  for (const Line& line : lines) {
    for (int side = 0; side < 2; ++side) {
      ChartLine l{Tr("charts", line.Name) + " " + std::to_string(side), side, line.Stroke, {}};
      for (size_t i = 0; i < stats.samples(); ++i) {
        l.Values.push_back(line.Of(stats.sample(i)[static_cast<size_t>(side)]));
        chart.Top = std::max(chart.Top, l.Values.back());
      }
      chart.Lines.push_back(std::move(l));
    }
  }
  for (double at : marks)
    if (at <= chart.Last) chart.Marks.push_back(at);
  return chart;
}

}  // namespace

std::vector<StatsChart> StatsCharts(const MatchStats& stats, const std::vector<double>& marks) {
  using S = const StatsSample&;
  return {
      Chart(stats, "Economy", "ChartsEconomy",
            {{"money", [](S s) { return s.Money; }, ChartStroke::Solid},
             {"ore delivered", [](S s) { return s.Delivered; }, ChartStroke::Dash}},
            marks),
      Chart(stats, "Forces", "ChartsForces",
            {{"workers", [](S s) { return s.Workers; }, ChartStroke::Solid},
             {"units", [](S s) { return s.Units; }, ChartStroke::Dash},
             {"buildings", [](S s) { return s.Buildings; }, ChartStroke::Dot}},
            marks),
      Chart(stats, "Army", "ChartsArmy", {{"army", [](S s) { return s.Army; }, ChartStroke::Solid}},
            marks),
      Chart(stats, "Kills", "ChartsKills",
            {{"kills", [](S s) { return s.Kills; }, ChartStroke::Solid},
             {"losses", [](S s) { return s.Losses; }, ChartStroke::Dash}},
            marks),
  };
}

TypeTable TypeTableOf(const MatchStats& stats, const World& world) {
  TypeTable table{Tr("charts", "By type"),
                  "ChartsByType",
                  {Tr("charts", "Type"), Tr("charts", "Finished 0"), Tr("charts", "Lost 0"),
                   Tr("charts", "Finished 1"), Tr("charts", "Lost 1")},
                  {}};
  for (const TypeTotals& t : stats.types()) {
    TObyekt probe;
    probe.Rassa = t.Rassa;
    probe.Kind = t.Kind;
    const TOpisan* type = TypeOf(world, probe);
    table.Rows.push_back(
        {type ? ToUtf8(type->Name) : std::to_string(t.Rassa) + "/" + std::to_string(t.Kind),
         {t.Finished[0], t.Lost[0], t.Finished[1], t.Lost[1]}});
  }
  return table;
}

std::vector<double> MarkSeconds(const Session& session) {
  std::vector<double> marks;
  const uint64_t start = session.match().startFrame();
  if (const ReplayPlayer* replay = session.viewer().player())
    for (const ReplayMark& m : replay->marks())
      if (m.Frame >= start) marks.push_back(static_cast<double>(m.Frame - start) / 100.0);
  return marks;
}
