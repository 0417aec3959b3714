// The results window's summary table: one row per catchment and storm of a run, over the run's
// results without copying them. Numbers are shown rounded for reading and sorted by value
// (SortRole); a row whose catchment or storm met a PROBLEM is tinted.
#pragma once

#include "results/RunResults.h"

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

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    const SummaryRow& row(int index) const { return rows_[static_cast<std::size_t>(index)]; }
    const std::vector<SummaryRow>& rows() const { return rows_; }

  private:
    QVariant value(const SummaryRow& row, int column) const;

    const RunResults& results_;
    std::vector<SummaryRow> rows_;
};

} // namespace tovan::results
