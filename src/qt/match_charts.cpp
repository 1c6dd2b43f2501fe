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

#include "app/stats_charts.h"

namespace {

// The sides' own colours, as on the minimap.
const QColor kSide[] = {QColor(77, 140, 255), QColor(255, 64, 51)};
const Qt::PenStyle kStroke[] = {Qt::SolidLine, Qt::DashLine, Qt::DotLine};

QChartView* Chart(const StatsChart& c) {
  auto* chart = new QChart;
  auto* x = new QValueAxis;
  x->setTitleText(QString::fromStdString(c.XTitle));
  x->setLabelFormat(QStringLiteral("%d"));
  auto* y = new QValueAxis;
  chart->addAxis(x, Qt::AlignBottom);
  chart->addAxis(y, Qt::AlignLeft);
  auto add = [&](QLineSeries* series) {
    chart->addSeries(series);
    series->attachAxis(x);
    series->attachAxis(y);
  };
  for (const ChartLine& line : c.Lines) {
    auto* series = new QLineSeries;
    series->setName(QString::fromStdString(line.Name));
    QPen pen(kSide[line.Side]);
    pen.setWidth(2);
    pen.setStyle(kStroke[static_cast<int>(line.Stroke)]);
    series->setPen(pen);
    for (size_t i = 0; i < line.Values.size(); ++i)
      series->append(static_cast<double>(i), line.Values[i]);
    add(series);
  }
  x->setRange(0, c.Last);
  y->setRange(std::min(0.0, y->min()), c.Top * 1.05);
  y->applyNiceNumbers();
  for (double at : c.Marks) {
    auto* mark = new QLineSeries;
    mark->setPen(QPen(QColor(150, 150, 150), 1, Qt::DotLine));
    mark->append(at, 0);
    mark->append(at, c.Top * 1.05);
    add(mark);
    chart->legend()->markers(mark).front()->setVisible(false);
  }
  chart->legend()->setAlignment(Qt::AlignBottom);
  auto* view = new QChartView(chart);
  view->setRenderHint(QPainter::Antialiasing);
  return view;
}

QTableWidget* Table(const TypeTable& types) {
  const std::vector<TypeRow>& rows = types.Rows;
  auto* table = new QTableWidget(static_cast<int>(rows.size()), 5);
  QStringList header;
  for (const std::string& h : types.Header) header << QString::fromStdString(h);
  table->setHorizontalHeaderLabels(header);
  table->verticalHeader()->hide();
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
    const TypeRow& r = rows[static_cast<size_t>(row)];
    table->setItem(row, 0, new QTableWidgetItem(QString::fromStdString(r.Name)));
    for (int c = 0; c < 4; ++c) {
      auto* item = new QTableWidgetItem(QString::number(r.Figures[static_cast<size_t>(c)]));
      item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      table->setItem(row, c + 1, item);
    }
  }
  table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
  return table;
}

}  // namespace

QTabWidget* MakeMatchCharts(const MatchStats& stats, const World& world,
                            const std::vector<double>& marks, QWidget* parent) {
  auto* tabs = new QTabWidget(parent);
  tabs->setObjectName(QStringLiteral("MatchCharts"));
  auto add = [&](QWidget* page, const std::string& title, const std::string& name) {
    page->setObjectName(QString::fromStdString(name));
    tabs->addTab(page, QString::fromStdString(title));
  };
  for (const StatsChart& chart : StatsCharts(stats, marks))
    add(Chart(chart), chart.Title, chart.Name);
  const TypeTable types = TypeTableOf(stats, world);
  add(Table(types), types.Title, types.Name);
  return tabs;
}
