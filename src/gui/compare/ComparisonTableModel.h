// The results comparison as a table: a row per catchment-storm of either run, with A, B, their
// difference and its percentage for the peak flow, the time to peak and the runoff volume, in
// the units the reader chose. Sorted by value (SortRole); a row whose peak in B exceeds A's by
// more than the threshold is tinted, a row on one side only is greyed.
#pragma once

#include "compare/ResultsComparison.h"

#include <QAbstractTableModel>

namespace tovan {

class ComparisonTableModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    static constexpr int SortRole = Qt::UserRole;
    static constexpr int ExceedsRole = Qt::UserRole + 1;

    explicit ComparisonTableModel(ResultsComparison comparison, QObject* parent = nullptr);

    const ResultsComparison& comparison() const { return comparison_; }
    const ComparisonRow& row(int index) const {
        return comparison_.rows[static_cast<std::size_t>(index)];
    }
    void setThreshold(double percent);
    double threshold() const { return threshold_; }
    void setUnits(results::UnitSystem units);
    results::UnitSystem units() const { return units_; }
    // Rows whose peak in B exceeds A's by more than the threshold.
    int exceedingCount() const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    enum class Figure { Peak, TimeToPeak, Volume };
    enum class Part { A, B, Delta, Percent };
    struct Column {
        int fixed = -1; // 0 catchment, 1 storm, 2 presence; -1 for a figure
        Figure figure = Figure::Peak;
        Part part = Part::A;
        bool si = false;
    };
    void buildColumns();
    QVariant value(const ComparisonRow& row, const Column& column) const;
    QString header(const Column& column) const;

    ResultsComparison comparison_;
    results::UnitSystem units_ = results::UnitSystem::USCustomary;
    double threshold_ = 0;
    std::vector<Column> columns_;
};

} // namespace tovan
