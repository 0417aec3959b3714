// The results window's plot: the storm hydrographs of the chosen rows as lines against time,
// the rainfall and excess of the current row as bars hanging from the top on a second axis,
// and the catchment's unit hydrograph on request. The mouse wheel zooms about the middle, a
// dragged rectangle zooms into it, and resetZoom() shows everything again. Two runs compared
// draw as pairs: each catchment-storm in a colour of its own, A solid and B dashed, with the
// rainfall of both for the first pair. Flows and depths in SI when the reader chose SI alone;
// with both systems the plot keeps the engine's units, which the axes name.
#pragma once

#include "results/RunResults.h"
#include "results/Units.h"

#include <QtCharts/QChartView>
#include <vector>

class QValueAxis;

namespace tovan::results {

class HydrographChart : public QChartView {
    Q_OBJECT
  public:
    explicit HydrographChart(QWidget* parent = nullptr);

    // Draws `rows` of `results` (the first is the current row: its rainfall and excess are
    // drawn). An empty list draws an empty plot.
    void plot(const RunResults& results, const std::vector<SummaryRow>& rows);
    // The same catchment-storm in run A and run B (either may be missing).
    struct RowPair {
        std::optional<SummaryRow> a, b;
    };
    // `a` and `b` must outlive the plot.
    void plotComparison(const RunResults& a, const RunResults& b,
                        const std::vector<RowPair>& pairs);
    void setUnits(UnitSystem units);
    void setUnitHydrographShown(bool shown);
    bool unitHydrographShown() const { return unitHydrograph_; }
    void resetZoom();

  protected:
    void wheelEvent(QWheelEvent* event) override;

  private:
    void redraw();
    void redrawComparison();
    void attach(QAbstractSeries* series, QValueAxis* y);
    void setRanges(double lastTime, double maxFlow, double maxDepth);
    double flowFactor() const;
    double depthFactor() const;

    QValueAxis* time_ = nullptr;
    QValueAxis* flow_ = nullptr;
    QValueAxis* depth_ = nullptr;

    const RunResults* results_ = nullptr;
    std::vector<SummaryRow> rows_;
    const RunResults* b_ = nullptr; // the second run of a comparison
    std::vector<RowPair> pairs_;
    bool unitHydrograph_ = false;
    bool si_ = false;
};

} // namespace tovan::results
