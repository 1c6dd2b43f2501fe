// The match in charts: tabs of line charts over its seconds (economy, forces, army, kills) and
// a table of what each type finished and lost; marks (seconds) drawn as thin vertical lines.
#pragma once

#include <vector>

#include "app/match_stats.h"
#include "game/world.h"

class QTabWidget;
class QWidget;

QTabWidget* MakeMatchCharts(const MatchStats& stats, const World& world,
                            const std::vector<double>& marks, QWidget* parent);
