#include "qt/match_charts.h"

#include <QChart>
#include <QChartView>
#include <QHeaderView>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPen>
#include <QTabWidget>
#include <QTableWidget>
#include <QValueAxis>
#include <algorithm>
#include <functional>

#include "qt/widget_controls.h"
#include "util/translate.h"

namespace {

QString T(const char* english) {
  return QString::fromStdString(Tr("charts", english));
}

// The sides' own colours, as on the minimap.
const QColor kSide[] = {QColor(77, 140, 255), QColor(255, 64, 51)};

using Figure = std::function<double(const StatsSample&)>;

struct Line {
  const char* Name;
  Figure Of;
  Qt::PenStyle Style;
};

QChartView* Chart(const MatchStats& stats, const std::vector<Line>& lines,
                  const std::vector<double>& marks) {
  auto* chart = new QChart;
  auto* x = new QValueAxis;
  x->setTitleText(T("seconds"));
  x->setLabelFormat(QStringLiteral("%d"));
  auto* y = new QValueAxis;
  chart->addAxis(x, Qt::AlignBottom);
  chart->addAxis(y, Qt::AlignLeft);
  double top = 1;
  const double last = std::max<double>(1, static_cast<double>(stats.samples()) - 1);
  for (const Line& line : lines) {
    for (size_t side = 0; side < 2; ++side) {
      auto* series = new QLineSeries;
      series->setName(T(line.Name) + QStringLiteral(" %1").arg(side));
      QPen pen(kSide[side]);
      pen.setWidth(2);
      pen.setStyle(line.Style);
      series->setPen(pen);
      for (size_t i = 0; i < stats.samples(); ++i) {
        const double v = line.Of(stats.sample(i)[side]);
        series->append(static_cast<double>(i), v);
        if (v > top) top = v;
      }
      chart->addSeries(series);
      series->attachAxis(x);
      series->attachAxis(y);
    }
  }
  x->setRange(0, last);
  y->setRange(std::min(0.0, y->min()), top * 1.05);
  y->applyNiceNumbers();
  for (double at : marks) {
    if (at > last) continue;
    auto* mark = new QLineSeries;
    mark->setPen(QPen(QColor(150, 150, 150), 1, Qt::DotLine));
    mark->append(at, 0);
    mark->append(at, top * 1.05);
    chart->addSeries(mark);
    mark->attachAxis(x);
    mark->attachAxis(y);
    chart->legend()->markers(mark).front()->setVisible(false);
  }
  chart->legend()->setAlignment(Qt::AlignBottom);
  auto* view = new QChartView(chart);
  view->setRenderHint(QPainter::Antialiasing);
  return view;
}

QTableWidget* TypeTable(const MatchStats& stats, const World& world) {
  auto* table = new QTableWidget(static_cast<int>(stats.types().size()), 5);
  table->setObjectName(QStringLiteral("ChartsByType"));
  table->setHorizontalHeaderLabels(
      {T("Type"), T("Finished 0"), T("Lost 0"), T("Finished 1"), T("Lost 1")});
  table->verticalHeader()->hide();
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  int row = 0;
  for (const TypeTotals& t : stats.types()) {
    TObyekt probe;
    probe.Rassa = t.Rassa;
    probe.Kind = t.Kind;
    const TOpisan* type = TypeOf(world, probe);
    const QString name = type ? ToQt(type->Name) : QStringLiteral("%1/%2").arg(t.Rassa).arg(t.Kind);
    table->setItem(row, 0, new QTableWidgetItem(name));
    const int32_t figures[] = {t.Finished[0], t.Lost[0], t.Finished[1], t.Lost[1]};
    for (int c = 0; c < 4; ++c) {
      auto* item = new QTableWidgetItem(QString::number(figures[c]));
      item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      table->setItem(row, c + 1, item);
    }
    ++row;
  }
  table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
  return table;
}

}  // namespace

QTabWidget* MakeMatchCharts(const MatchStats& stats, const World& world,
                            const std::vector<double>& marks, QWidget* parent) {
  auto* tabs = new QTabWidget(parent);
  tabs->setObjectName(QStringLiteral("MatchCharts"));
  auto add = [&](QWidget* page, const char* title, const char* name) {
    page->setObjectName(QString::fromLatin1(name));
    tabs->addTab(page, T(title));
  };
  add(Chart(stats,
            {{"money", [](const StatsSample& s) { return s.Money; }, Qt::SolidLine},
             {"ore delivered", [](const StatsSample& s) { return s.Delivered; }, Qt::DashLine}},
            marks),
      "Economy", "ChartsEconomy");
  add(Chart(stats,
            {{"workers", [](const StatsSample& s) { return s.Workers; }, Qt::SolidLine},
             {"units", [](const StatsSample& s) { return s.Units; }, Qt::DashLine},
             {"buildings", [](const StatsSample& s) { return s.Buildings; }, Qt::DotLine}},
            marks),
      "Forces", "ChartsForces");
  add(Chart(stats, {{"army", [](const StatsSample& s) { return s.Army; }, Qt::SolidLine}}, marks),
      "Army", "ChartsArmy");
  add(Chart(stats,
            {{"kills", [](const StatsSample& s) { return s.Kills; }, Qt::SolidLine},
             {"losses", [](const StatsSample& s) { return s.Losses; }, Qt::DashLine}},
            marks),
      "Kills", "ChartsKills");
  add(TypeTable(stats, world), "By type", "ChartsByType");
  return tabs;
}
