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
                                    "Peak",
                                    "Time to peak (h)",
                                    "Runoff",
                                    "Runoff",
                                    "Rational peak",
                                    "Notes"};

// The quantity a column measures, for the columns that have a unit to convert.
std::optional<Quantity> QuantityOf(int column) {
    switch (column) {
    case SummaryTableModel::Peak:
    case SummaryTableModel::RationalPeak:
        return Quantity::Flow;
    case SummaryTableModel::RunoffInches:
        return Quantity::Depth;
    case SummaryTableModel::RunoffAcreFeet:
        return Quantity::Volume;
    default:
        return std::nullopt;
    }
}

// Decimals shown per column: enough for the engine's figures, few enough to read at a glance.
int DecimalsOf(int column, bool si) {
    if (si) return column == SummaryTableModel::RunoffAcreFeet ? 1 : 3;
    switch (column) {
    case SummaryTableModel::TimeToPeak:
        return kTimeDecimals;
    case SummaryTableModel::RunoffInches:
        return kDepthDecimals;
    case SummaryTableModel::RunoffAcreFeet:
        return kVolumeDecimals;
    default:
        return kFlowDecimals;
    }
}

QVariant Figure(double value) {
    return std::isfinite(value) ? QVariant(value) : QVariant();
}

} // namespace

SummaryTableModel::SummaryTableModel(const RunResults& results, QObject* parent)
    : QAbstractTableModel(parent), results_(results), rows_(SummaryRows(results)) {
    buildColumns();
}

void SummaryTableModel::buildColumns() {
    columns_.clear();
    for (int column = 0; column < ColumnCount; ++column) {
        const auto kind = static_cast<Column>(column);
        if (!QuantityOf(column)) {
            columns_.push_back({kind});
            continue;
        }
        for (const bool si : SiColumns(units_))
            columns_.push_back({kind, si});
    }
}

void SummaryTableModel::setUnits(UnitSystem units) {
    beginResetModel();
    units_ = units;
    buildColumns();
    endResetModel();
}

int SummaryTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int SummaryTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant SummaryTableModel::value(const SummaryRow& row, const Shown& shown) const {
    const int column = shown.kind;
    const auto figure = [&](double v) {
        const auto quantity = QuantityOf(column);
        return Figure(quantity ? InSystem(v, *quantity, shown.si) : v);
    };
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
        return figure(s->peakCfs);
    case TimeToPeak:
        return figure(s->timeToPeakHours);
    case RunoffInches:
        return figure(s->runoffInches);
    case RunoffAcreFeet:
        return figure(s->runoffAcreFeet);
    case RationalPeak:
        return s->rational ? figure(s->rational->peakCfs) : QVariant();
    default:
        return {};
    }
}

QVariant SummaryTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const SummaryRow& r = row(index.row());
    const Shown& shown = columns_[static_cast<std::size_t>(index.column())];
    const int column = shown.kind;
    switch (role) {
    case Qt::DisplayRole: {
        const QVariant v = value(r, shown);
        if (v.typeId() == QMetaType::Double)
            return QString::number(v.toDouble(), 'f',
                                   column == ReturnPeriod ? 0 : DecimalsOf(column, shown.si));
        return v;
    }
    case SortRole:
        return value(r, shown);
    case ProblemRole:
        return HasProblem(results_, r);
    case Qt::BackgroundRole:
        return HasProblem(results_, r) ? QBrush(QColor(255, 224, 224)) : QVariant();
    case Qt::TextAlignmentRole:
        return column == Catchment || column == StormIdentification || column == Notes
                   ? QVariant(Qt::AlignLeft | Qt::AlignVCenter)
                   : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    case Qt::ToolTipRole:
        return column == Notes ? value(r, shown) : QVariant();
    default:
        return {};
    }
}

QVariant SummaryTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    if (section < 0 || section >= columnCount()) return {};
    const Shown& shown = columns_[static_cast<std::size_t>(section)];
    const QString name = QString::fromLatin1(kHeaders[shown.kind]);
    const auto quantity = QuantityOf(shown.kind);
    if (!quantity) return name;
    return QStringLiteral("%1 (%2)").arg(name,
                                         QString::fromStdString(UnitSymbol(*quantity, shown.si)));
}

} // namespace tovan::results
