// The results window's summary table: one row per catchment and storm of a run, over the run's
// results without copying them. Numbers are shown rounded for reading and sorted by value
// (SortRole); a row whose catchment or storm met a PROBLEM is tinted. Flows, depths and volumes
// in US customary units, SI or both side by side; the headers name the unit.
#pragma once

#include "results/RunResults.h"
#include "results/Units.h"

#include <QAbstractTableModel>

namespace tovan::results {

class SummaryTableModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    enum Column {
        Catchment,
        Number,
        Storm,
        StormIdentification,
        ReturnPeriod,
        Peak,
        TimeToPeak,
        RunoffInches,
        RunoffAcreFeet,
        RationalPeak,
        Notes,
        ColumnCount
    };
    static constexpr int SortRole = Qt::UserRole;
    static constexpr int ProblemRole = Qt::UserRole + 1;

    // `results` must outlive the model.
    explicit SummaryTableModel(const RunResults& results, QObject* parent = nullptr);

    void setUnits(UnitSystem units);
    UnitSystem units() const { return units_; }
    // What a table column shows: one of the columns above, in SI or not.
    Column kindOf(int section) const { return columns_[static_cast<std::size_t>(section)].kind; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    const SummaryRow& row(int index) const { return rows_[static_cast<std::size_t>(index)]; }
    const std::vector<SummaryRow>& rows() const { return rows_; }

  private:
    struct Shown {
        Column kind;
        bool si = false;
    };
    void buildColumns();
    QVariant value(const SummaryRow& row, const Shown& column) const;

    const RunResults& results_;
    std::vector<SummaryRow> rows_;
    UnitSystem units_ = UnitSystem::USCustomary;
    std::vector<Shown> columns_;
};

} // namespace tovan::results
