// Two runs side by side: the table of peak flow, time to peak and runoff volume of A and B per
// catchment-storm with their differences (rows over the threshold tinted, every column
// sortable, rows of one side only greyed), the chosen rows' hydrographs over each other (A
// solid, B dashed) with the rainfall of both, the table as CSV, and the cells of the two decks
// that made the difference.
#pragma once

#include "compare/ResultsComparison.h"
#include "platform/Platform.h"
#include "results/RunResults.h"

#include <QWidget>

class QDoubleSpinBox;
class QLabel;
class QSortFilterProxyModel;
class QTableView;

namespace tovan::results {
class HydrographChart;
}

namespace tovan {

class ComparisonTableModel;

class ResultsComparisonWindow : public QWidget {
    Q_OBJECT
  public:
    // `labelA` and `labelB` name the runs ("run of 2026-12-07 20:15:30", a file's name).
    ResultsComparisonWindow(results::RunResults a, results::RunResults b, QString labelA,
                            QString labelB, Platform& platform, QWidget* parent = nullptr);
    ~ResultsComparisonWindow() override;

    QTableView* table() const { return table_; }
    ComparisonTableModel* model() const { return model_; }
    results::HydrographChart* chart() const { return chart_; }
    QDoubleSpinBox* thresholdBox() const { return threshold_; }
    QLabel* heading() const { return heading_; }

    void setUnits(results::UnitSystem units);
    void exportCsv();
    // The cells of A's deck that differ from B's, in a window of their own.
    void showDeckDifferences();

  private:
    void buildToolBar();
    void buildTable();
    void showSelection();
    void updateHeading();

    results::RunResults a_, b_;
    QString labelA_, labelB_;
    Platform& platform_;
    ComparisonTableModel* model_ = nullptr;
    QSortFilterProxyModel* sorted_ = nullptr;
    QTableView* table_ = nullptr;
    results::HydrographChart* chart_ = nullptr;
    QDoubleSpinBox* threshold_ = nullptr;
    QLabel* heading_ = nullptr;
};

} // namespace tovan
