// The results window's plot: the storm hydrographs of the chosen rows as lines against time,
// the rainfall and excess of the current row as bars hanging from the top on a second axis,
// and the catchment's unit hydrograph on request. The mouse wheel zooms about the middle, a
// dragged rectangle zooms into it, and resetZoom() shows everything again.
#pragma once

#include "results/RunResults.h"

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
    void setUnitHydrographShown(bool shown);
    bool unitHydrographShown() const { return unitHydrograph_; }
    void resetZoom();

  protected:
    void wheelEvent(QWheelEvent* event) override;

  private:
    void redraw();

    QValueAxis* time_ = nullptr;
    QValueAxis* flow_ = nullptr;
    QValueAxis* depth_ = nullptr;

    const RunResults* results_ = nullptr;
    std::vector<SummaryRow> rows_;
    bool unitHydrograph_ = false;
};

} // namespace tovan::results
