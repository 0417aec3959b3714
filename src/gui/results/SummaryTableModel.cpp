#include "results/SummaryTableModel.h"

#include <QBrush>
#include <QColor>
#include <cmath>

namespace tovan::results {

namespace {

constexpr const char* kHeaders[] = {"Catchment",
                                    "No.",
                                    "Storm",
                                    "Storm ID",
                                    "Return period (yr)",
                                    "Peak (cfs)",
                                    "Time to peak (h)",
                                    "Runoff (in)",
                                    "Runoff (acre-ft)",
                                    "Rational peak (cfs)",
                                    "Notes"};

// Decimals shown per column: enough for the engine's figures, few enough to read at a glance.
int DecimalsOf(int column) {
    switch (column) {
    case SummaryTableModel::TimeToPeak:
        return 3;
    case SummaryTableModel::RunoffInches:
        return 4;
    case SummaryTableModel::RunoffAcreFeet:
        return 4;
    default:
        return 2;
    }
}

QVariant Figure(double value) {
    return std::isfinite(value) ? QVariant(value) : QVariant();
}

} // namespace

SummaryTableModel::SummaryTableModel(const RunResults& results, QObject* parent)
    : QAbstractTableModel(parent), results_(results), rows_(SummaryRows(results)) {}

int SummaryTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int SummaryTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant SummaryTableModel::value(const SummaryRow& row, int column) const {
    const CatchmentResult& c = results_.catchments[row.catchment];
    if (column == Catchment) return QString::fromStdString(c.identification);
    if (column == Number) return c.number;
    if (column == Notes) return QString::fromStdString(NotesOf(results_, row));
    const StormResult* s = StormOf(results_, row);
    if (s == nullptr) return {};
    if (column == Storm) return s->storm;
    if (column == StormIdentification) return QString::fromStdString(s->identification);
    if (column == ReturnPeriod)
        return s->returnPeriodYears ? QVariant(*s->returnPeriodYears) : QVariant();
    if (!s->computed) return {};
    switch (column) {
    case Peak:
        return Figure(s->peakCfs);
    case TimeToPeak:
        return Figure(s->timeToPeakHours);
    case RunoffInches:
        return Figure(s->runoffInches);
    case RunoffAcreFeet:
        return Figure(s->runoffAcreFeet);
    case RationalPeak:
        return s->rational ? Figure(s->rational->peakCfs) : QVariant();
    default:
        return {};
    }
}

QVariant SummaryTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const SummaryRow& r = row(index.row());
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole: {
        const QVariant v = value(r, column);
        if (v.typeId() == QMetaType::Double)
            return QString::number(v.toDouble(), 'f',
                                   column == ReturnPeriod ? 0 : DecimalsOf(column));
        return v;
    }
    case SortRole:
        return value(r, column);
    case ProblemRole:
        return HasProblem(results_, r);
    case Qt::BackgroundRole:
        return HasProblem(results_, r) ? QBrush(QColor(255, 224, 224)) : QVariant();
    case Qt::TextAlignmentRole:
        return column == Catchment || column == StormIdentification || column == Notes
                   ? QVariant(Qt::AlignLeft | Qt::AlignVCenter)
                   : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    case Qt::ToolTipRole:
        return column == Notes ? value(r, column) : QVariant();
    default:
        return {};
    }
}

QVariant SummaryTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    if (section < 0 || section >= ColumnCount) return {};
    return QString::fromLatin1(kHeaders[section]);
}

} // namespace tovan::results
