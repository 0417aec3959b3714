#include "results/HydrographChart.h"

#include <QWheelEvent>
#include <QtCharts/QAreaSeries>
#include <QtCharts/QChart>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>
#include <algorithm>
#include <cmath>

namespace tovan::results {

namespace {

double Finite(double value) {
    return std::isfinite(value) ? value : 0.0;
}

QLineSeries* Line(const QString& name, const std::vector<double>& times,
                  const std::vector<double>& flows) {
    auto* series = new QLineSeries;
    series->setName(name);
    QList<QPointF> points;
    const std::size_t n = std::min(times.size(), flows.size());
    points.reserve(static_cast<qsizetype>(n));
    for (std::size_t i = 0; i < n; ++i)
        points.append(QPointF(Finite(times[i]), Finite(flows[i])));
    series->replace(points);
    return series;
}

// One bar per step, as the outline of an area: step i covers i dt to (i + 1) dt.
QAreaSeries* Bars(const QString& name, const std::vector<double>& depths, double step,
                  const QColor& color) {
    auto* outline = new QLineSeries;
    auto* base = new QLineSeries;
    QList<QPointF> points, zeros;
    points.reserve(static_cast<qsizetype>(2 * depths.size()));
    for (std::size_t i = 0; i < depths.size(); ++i) {
        const double from = static_cast<double>(i) * step, to = from + step;
        const double depth = Finite(depths[i]);
        points << QPointF(from, depth) << QPointF(to, depth);
        zeros << QPointF(from, 0) << QPointF(to, 0);
    }
    outline->replace(points);
    base->replace(zeros);
    auto* area = new QAreaSeries(outline, base);
    outline->setParent(area); // an area series does not own its boundaries
    base->setParent(area);
    area->setName(name);
    QColor fill = color;
    fill.setAlpha(110);
    area->setBrush(fill);
    area->setPen(QPen(color, 1));
    return area;
}

QString RowName(const RunResults& results, const SummaryRow& row) {
    const StormResult* storm = StormOf(results, row);
    return QStringLiteral("%1 storm %2 (%3)")
        .arg(QString::fromStdString(results.catchments[row.catchment].identification))
        .arg(storm->storm)
        .arg(QString::fromStdString(storm->identification));
}

QValueAxis* Axis(const QString& title) {
    auto* axis = new QValueAxis;
    axis->setTitleText(title);
    axis->setLabelFormat(QStringLiteral("%.4g"));
    return axis;
}

} // namespace

HydrographChart::HydrographChart(QWidget* parent) : QChartView(new QChart, parent) {
    setObjectName(QStringLiteral("hydrographChart"));
    setRenderHint(QPainter::Antialiasing);
    setRubberBand(QChartView::RectangleRubberBand);
    chart()->legend()->setAlignment(Qt::AlignBottom);
    time_ = Axis(QStringLiteral("Time (h)"));
    flow_ = Axis(QStringLiteral("Flow (cfs)"));
    depth_ = Axis(QStringLiteral("Rain, excess (in/step)"));
    depth_->setReverse(true); // the bars hang from the top, clear of the hydrographs
    chart()->addAxis(time_, Qt::AlignBottom);
    chart()->addAxis(flow_, Qt::AlignLeft);
    chart()->addAxis(depth_, Qt::AlignRight);
}

void HydrographChart::plot(const RunResults& results, const std::vector<SummaryRow>& rows) {
    results_ = &results;
    rows_.clear();
    for (const SummaryRow& row : rows) {
        const StormResult* storm = StormOf(results, row);
        if (storm != nullptr && storm->computed) rows_.push_back(row);
    }
    redraw();
}

void HydrographChart::setUnitHydrographShown(bool shown) {
    unitHydrograph_ = shown;
    redraw();
}

void HydrographChart::resetZoom() {
    chart()->zoomReset();
}

void HydrographChart::wheelEvent(QWheelEvent* event) {
    const double steps = event->angleDelta().y() / 120.0;
    if (steps != 0) chart()->zoom(std::pow(1.25, steps));
    event->accept();
}

void HydrographChart::redraw() {
    QChart* c = chart();
    c->removeAllSeries();
    if (results_ == nullptr || rows_.empty()) {
        c->setTitle(QString());
        return;
    }
    QValueAxis *time = time_, *flow = flow_, *depth = depth_;
    const auto attach = [c, time](QAbstractSeries* series, QValueAxis* y) {
        c->addSeries(series);
        series->attachAxis(time);
        series->attachAxis(y);
    };

    const SummaryRow& current = rows_.front();
    const CatchmentResult& catchment = results_->catchments[current.catchment];
    const StormResult& first = *StormOf(*results_, current);
    attach(Bars(QStringLiteral("Rainfall"), first.rainfallInches, first.timeStepHours,
                QColor(70, 130, 220)),
           depth);
    attach(Bars(QStringLiteral("Excess"), first.excessInches, first.timeStepHours,
                QColor(20, 60, 150)),
           depth);
    double lastTime = 0, maxFlow = 0, maxDepth = 0;
    for (const SummaryRow& row : rows_) {
        const StormResult& storm = *StormOf(*results_, row);
        attach(Line(RowName(*results_, row), storm.hydrographTimesHours, storm.hydrographFlowsCfs),
               flow);
        for (double f : storm.hydrographFlowsCfs)
            maxFlow = std::max(maxFlow, Finite(f));
        if (!storm.hydrographTimesHours.empty())
            lastTime = std::max(lastTime, Finite(storm.hydrographTimesHours.back()));
    }
    for (double d : first.rainfallInches)
        maxDepth = std::max(maxDepth, Finite(d));
    if (unitHydrograph_ && !catchment.unitHydrographCfs.empty()) {
        std::vector<double> times(catchment.unitHydrographCfs.size());
        for (std::size_t i = 0; i < times.size(); ++i)
            times[i] = static_cast<double>(i) * catchment.unitHydrographStepHours;
        auto* uh = Line(QStringLiteral("Unit hydrograph (cfs per inch)"), times,
                        catchment.unitHydrographCfs);
        uh->setPen(QPen(Qt::darkGray, 1.5, Qt::DashLine));
        attach(uh, flow);
        for (double f : catchment.unitHydrographCfs)
            maxFlow = std::max(maxFlow, Finite(f));
        lastTime = std::max(lastTime, times.back());
    }
    time->setRange(0, lastTime > 0 ? lastTime : 1);
    flow->setRange(0, maxFlow > 0 ? maxFlow * 1.6 : 1); // room below the hanging bars
    depth->setRange(0, maxDepth > 0 ? maxDepth * 2.5 : 1);
    c->setTitle(QString::fromStdString(catchment.identification + " - " + catchment.description));
}

} // namespace tovan::results
