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
#include "util/translate.h"

namespace {

QString T(const char* english) {
  return QString::fromStdString(Tr("charts", english));
}

// The sides' own colours, as on the minimap.
const QColor kSide[] = {QColor(77, 140, 255), QColor(255, 64, 51)};
const Qt::PenStyle kStroke[] = {Qt::SolidLine, Qt::DashLine, Qt::DotLine};

QChartView* Chart(const StatsChart& c) {
  auto* chart = new QChart;
  auto* x = new QValueAxis;
  x->setTitleText(T("seconds"));
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

QTableWidget* TypeTable(const std::vector<TypeRow>& rows) {
  auto* table = new QTableWidget(static_cast<int>(rows.size()), 5);
  table->setHorizontalHeaderLabels(
      {T("Type"), T("Finished 0"), T("Lost 0"), T("Finished 1"), T("Lost 1")});
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
  auto add = [&](QWidget* page, const QString& title, const std::string& name) {
    page->setObjectName(QString::fromStdString(name));
    tabs->addTab(page, title);
  };
  for (const StatsChart& chart : StatsCharts(stats, marks))
    add(Chart(chart), QString::fromStdString(chart.Title), chart.Name);
  add(TypeTable(TypeRows(stats, world)), T("By type"), "ChartsByType");
  return tabs;
}
