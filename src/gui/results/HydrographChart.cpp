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
                  const std::vector<double>& flows, double factor = 1) {
    auto* series = new QLineSeries;
    series->setName(name);
    QList<QPointF> points;
    const std::size_t n = std::min(times.size(), flows.size());
    points.reserve(static_cast<qsizetype>(n));
    for (std::size_t i = 0; i < n; ++i)
        points.append(QPointF(Finite(times[i]), Finite(flows[i]) * factor));
    series->replace(points);
    return series;
}

// One bar per step, as the outline of an area: step i covers i dt to (i + 1) dt.
QAreaSeries* Bars(const QString& name, const std::vector<double>& depths, double step,
                  const QColor& color, double factor = 1) {
    auto* outline = new QLineSeries;
    auto* base = new QLineSeries;
    QList<QPointF> points, zeros;
    points.reserve(static_cast<qsizetype>(2 * depths.size()));
    for (std::size_t i = 0; i < depths.size(); ++i) {
        const double from = static_cast<double>(i) * step, to = from + step;
        const double depth = Finite(depths[i]) * factor;
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

// Colours far enough apart to tell the pairs of a comparison from each other.
const QColor kPairColours[] = {QColor(0, 90, 181),   QColor(220, 50, 32), QColor(0, 140, 70),
                               QColor(150, 60, 170), QColor(230, 140, 0), QColor(0, 150, 160),
                               QColor(120, 80, 40),  QColor(200, 40, 130)};

double MaxOf(const std::vector<double>& values) {
    double most = 0;
    for (double v : values)
        most = std::max(most, Finite(v));
    return most;
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
    b_ = nullptr;
    pairs_.clear();
    rows_.clear();
    for (const SummaryRow& row : rows) {
        const StormResult* storm = StormOf(results, row);
        if (storm != nullptr && storm->computed) rows_.push_back(row);
    }
    redraw();
}

void HydrographChart::plotComparison(const RunResults& a, const RunResults& b,
                                     const std::vector<RowPair>& pairs) {
    results_ = &a;
    b_ = &b;
    rows_.clear();
    pairs_.clear();
    const auto computed = [](const RunResults& run, const std::optional<SummaryRow>& row) {
        const StormResult* storm = row ? StormOf(run, *row) : nullptr;
        return storm != nullptr && storm->computed;
    };
    for (const RowPair& pair : pairs) {
        RowPair kept{computed(a, pair.a) ? pair.a : std::nullopt,
                     computed(b, pair.b) ? pair.b : std::nullopt};
        if (kept.a || kept.b) pairs_.push_back(kept);
    }
    redraw();
}

void HydrographChart::setUnits(UnitSystem units) {
    si_ = units == UnitSystem::SI;
    flow_->setTitleText(
        QStringLiteral("Flow (%1)").arg(QString::fromStdString(UnitSymbol(Quantity::Flow, si_))));
    depth_->setTitleText(QStringLiteral("Rain, excess (%1/step)")
                             .arg(QString::fromStdString(UnitSymbol(Quantity::Depth, si_))));
    redraw();
}

double HydrographChart::flowFactor() const {
    return si_ ? SiFactor(Quantity::Flow) : 1;
}

double HydrographChart::depthFactor() const {
    return si_ ? SiFactor(Quantity::Depth) : 1;
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

void HydrographChart::attach(QAbstractSeries* series, QValueAxis* y) {
    chart()->addSeries(series);
    series->attachAxis(time_);
    series->attachAxis(y);
}

// Room below the hanging bars for the hydrographs.
void HydrographChart::setRanges(double lastTime, double maxFlow, double maxDepth) {
    time_->setRange(0, lastTime > 0 ? lastTime : 1);
    flow_->setRange(0, maxFlow > 0 ? maxFlow * 1.6 : 1);
    depth_->setRange(0, maxDepth > 0 ? maxDepth * 2.5 : 1);
}

void HydrographChart::redraw() {
    if (b_ != nullptr) {
        redrawComparison();
        return;
    }
    QChart* c = chart();
    c->removeAllSeries();
    if (results_ == nullptr || rows_.empty()) {
        c->setTitle(QString());
        return;
    }
    QValueAxis *flow = flow_, *depth = depth_;

    const SummaryRow& current = rows_.front();
    const CatchmentResult& catchment = results_->catchments[current.catchment];
    const StormResult& first = *StormOf(*results_, current);
    attach(Bars(QStringLiteral("Rainfall"), first.rainfallInches, first.timeStepHours,
                QColor(70, 130, 220), depthFactor()),
           depth);
    attach(Bars(QStringLiteral("Excess"), first.excessInches, first.timeStepHours,
                QColor(20, 60, 150), depthFactor()),
           depth);
    double lastTime = 0, maxFlow = 0, maxDepth = 0;
    for (const SummaryRow& row : rows_) {
        const StormResult& storm = *StormOf(*results_, row);
        attach(Line(RowName(*results_, row), storm.hydrographTimesHours, storm.hydrographFlowsCfs,
                    flowFactor()),
               flow);
        maxFlow = std::max(maxFlow, MaxOf(storm.hydrographFlowsCfs) * flowFactor());
        if (!storm.hydrographTimesHours.empty())
            lastTime = std::max(lastTime, Finite(storm.hydrographTimesHours.back()));
    }
    maxDepth = MaxOf(first.rainfallInches) * depthFactor();
    if (unitHydrograph_ && !catchment.unitHydrographCfs.empty()) {
        std::vector<double> times(catchment.unitHydrographCfs.size());
        for (std::size_t i = 0; i < times.size(); ++i)
            times[i] = static_cast<double>(i) * catchment.unitHydrographStepHours;
        auto* uh = Line(QStringLiteral("Unit hydrograph (%1 per %2)")
                            .arg(QString::fromStdString(UnitSymbol(Quantity::Flow, si_)),
                                 QString::fromStdString(si_ ? "mm" : "inch")),
                        times, catchment.unitHydrographCfs, flowFactor() / depthFactor());
        uh->setPen(QPen(Qt::darkGray, 1.5, Qt::DashLine));
        attach(uh, flow);
        maxFlow =
            std::max(maxFlow, MaxOf(catchment.unitHydrographCfs) * flowFactor() / depthFactor());
        lastTime = std::max(lastTime, times.back());
    }
    setRanges(lastTime, maxFlow, maxDepth);
    c->setTitle(QString::fromStdString(catchment.identification + " - " + catchment.description));
}

void HydrographChart::redrawComparison() {
    QChart* c = chart();
    c->removeAllSeries();
    if (pairs_.empty()) {
        c->setTitle(QString());
        return;
    }
    QValueAxis *flow = flow_, *depth = depth_;
    double lastTime = 0, maxFlow = 0, maxDepth = 0;
    // The rainfall of the first pair on both sides: A filled, B as a dashed outline.
    const RowPair& first = pairs_.front();
    for (const bool sideB : {false, true}) {
        const std::optional<SummaryRow>& row = sideB ? first.b : first.a;
        if (!row) continue;
        const StormResult& storm = *StormOf(sideB ? *b_ : *results_, *row);
        QAreaSeries* bars =
            Bars(sideB ? QStringLiteral("Rainfall B") : QStringLiteral("Rainfall A"),
                 storm.rainfallInches, storm.timeStepHours,
                 sideB ? QColor(230, 120, 40) : QColor(70, 130, 220), depthFactor());
        if (sideB) {
            bars->setBrush(Qt::NoBrush);
            bars->setPen(QPen(QColor(230, 120, 40), 1.5, Qt::DashLine));
        }
        attach(bars, depth);
        maxDepth = std::max(maxDepth, MaxOf(storm.rainfallInches) * depthFactor());
    }
    for (std::size_t i = 0; i < pairs_.size(); ++i) {
        const QColor colour = kPairColours[i % std::size(kPairColours)];
        for (const bool sideB : {false, true}) {
            const std::optional<SummaryRow>& row = sideB ? pairs_[i].b : pairs_[i].a;
            if (!row) continue;
            const RunResults& run = sideB ? *b_ : *results_;
            const StormResult& storm = *StormOf(run, *row);
            // Short names, so that the legend keeps the side's letter.
            const QString name =
                QStringLiteral("%1 storm %2 %3")
                    .arg(QString::fromStdString(run.catchments[row->catchment].identification))
                    .arg(storm.storm)
                    .arg(sideB ? QLatin1Char('B') : QLatin1Char('A'));
            QLineSeries* line =
                Line(name, storm.hydrographTimesHours, storm.hydrographFlowsCfs, flowFactor());
            line->setPen(QPen(colour, 2, sideB ? Qt::DashLine : Qt::SolidLine));
            attach(line, flow);
            maxFlow = std::max(maxFlow, MaxOf(storm.hydrographFlowsCfs) * flowFactor());
            if (!storm.hydrographTimesHours.empty())
                lastTime = std::max(lastTime, Finite(storm.hydrographTimesHours.back()));
        }
    }
    setRanges(lastTime, maxFlow, maxDepth);
    c->setTitle(QStringLiteral("A solid, B dashed"));
}

} // namespace tovan::results
