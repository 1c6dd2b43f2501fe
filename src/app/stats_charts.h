// The match's figures made ready for charts: the tabs' lines over the seconds, with their range
// and the replay's marks, and the by-type table's rows. The window draws them.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "app/match_stats.h"

class Session;

enum class ChartStroke : uint8_t { Solid, Dash, Dot };

struct ChartLine {
  std::string Name;  // translated, with the side: "money 0"
  int Side = 0;
  ChartStroke Stroke = ChartStroke::Solid;
  std::vector<double> Values;  // a second each
};

struct StatsChart {
  std::string Title;  // the tab's, translated
  std::string Name;   // the tab's object name ("ChartsEconomy")
  std::string XTitle;
  std::vector<ChartLine> Lines;
  double Last = 1;            // the last second on the axis
  double Top = 1;             // the highest value, at least 1
  std::vector<double> Marks;  // seconds, up to Last
};

// Economy, forces, army and kills; marks in seconds of the match.
std::vector<StatsChart> StatsCharts(const MatchStats& stats, const std::vector<double>& marks);

struct TypeRow {
  std::string Name;                // UTF-8
  std::array<int32_t, 4> Figures;  // finished and lost by side 0, then by side 1
};
// The last tab: what each type finished and lost.
struct TypeTable {
  std::string Title;  // the tab's, translated
  std::string Name;
  std::vector<std::string> Header;
  std::vector<TypeRow> Rows;
};
TypeTable TypeTableOf(const MatchStats& stats, const World& world);

// The replay's marks at or after the match's start, in seconds of the match.
std::vector<double> MarkSeconds(const Session& session);
