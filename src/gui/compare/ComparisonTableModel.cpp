#include "compare/ComparisonTableModel.h"

#include <QBrush>
#include <QColor>
#include <cmath>

namespace tovan {

using results::Quantity;

namespace {

const char* const kFixedHeaders[] = {"Catchment", "Storm", "In"};

} // namespace

ComparisonTableModel::ComparisonTableModel(ResultsComparison comparison, QObject* parent)
    : QAbstractTableModel(parent), comparison_(std::move(comparison)) {
    buildColumns();
}

// Each figure's A, B and difference in every system shown, then its percentage once.
void ComparisonTableModel::buildColumns() {
    columns_.clear();
    for (int fixed = 0; fixed < 3; ++fixed)
        columns_.push_back({fixed});
    for (const Figure figure : {Figure::Peak, Figure::TimeToPeak, Figure::Volume}) {
        const std::vector<bool> systems =
            figure == Figure::TimeToPeak ? std::vector<bool>{false} : results::SiColumns(units_);
        for (const bool si : systems)
            for (const Part part : {Part::A, Part::B, Part::Delta})
                columns_.push_back({-1, figure, part, si});
        columns_.push_back({-1, figure, Part::Percent, false});
    }
}

void ComparisonTableModel::setThreshold(double percent) {
    threshold_ = percent;
    if (rowCount() > 0) emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

void ComparisonTableModel::setUnits(results::UnitSystem units) {
    beginResetModel();
    units_ = units;
    buildColumns();
    endResetModel();
}

int ComparisonTableModel::exceedingCount() const {
    int count = 0;
    for (const ComparisonRow& row : comparison_.rows)
        count += PeakExceeds(row, threshold_);
    return count;
}

int ComparisonTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(comparison_.rows.size());
}

int ComparisonTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant ComparisonTableModel::value(const ComparisonRow& row, const Column& column) const {
    switch (column.fixed) {
    case 0:
        return QString::fromStdString(row.catchment);
    case 1:
        return row.storm ? QVariant(row.storm) : QVariant();
    case 2:
        return QString::fromLatin1(PresenceText(row.presence));
    default:
        break;
    }
    const ComparedValue& base = column.figure == Figure::Peak         ? row.peakCfs
                                : column.figure == Figure::TimeToPeak ? row.timeToPeakHours
                                                                      : row.runoffAcreFeet;
    const ComparedValue shown =
        column.figure == Figure::TimeToPeak
            ? base
            : InUnits(base, column.figure == Figure::Peak ? Quantity::Flow : Quantity::Volume,
                      column.si);
    std::optional<double> v;
    switch (column.part) {
    case Part::A:
        v = shown.a;
        break;
    case Part::B:
        v = shown.b;
        break;
    case Part::Delta:
        v = shown.delta();
        break;
    case Part::Percent:
        v = shown.percent();
        break;
    }
    return v && std::isfinite(*v) ? QVariant(*v) : QVariant();
}

QString ComparisonTableModel::header(const Column& column) const {
    if (column.fixed >= 0) return QString::fromLatin1(kFixedHeaders[column.fixed]);
    const char* name = column.figure == Figure::Peak         ? "Peak"
                       : column.figure == Figure::TimeToPeak ? "Time to peak"
                                                             : "Runoff";
    const QString unit =
        column.figure == Figure::TimeToPeak
            ? QStringLiteral("h")
            : QString::fromStdString(results::UnitSymbol(
                  column.figure == Figure::Peak ? Quantity::Flow : Quantity::Volume, column.si));
    switch (column.part) {
    case Part::A:
        return QStringLiteral("%1 A (%2)").arg(QLatin1String(name), unit);
    case Part::B:
        return QStringLiteral("%1 B (%2)").arg(QLatin1String(name), unit);
    case Part::Delta:
        return QStringLiteral("\u0394 %1 (%2)").arg(QLatin1String(name), unit);
    case Part::Percent:
        break;
    }
    return QStringLiteral("\u0394 %1 (%)").arg(QLatin1String(name));
}

namespace {

int DecimalsOf(bool timeToPeak, bool percent, bool siVolume) {
    if (percent) return 1;
    if (timeToPeak) return 3;
    return siVolume ? 1 : 3;
}

} // namespace

QVariant ComparisonTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const ComparisonRow& r = row(index.row());
    const Column& column = columns_[static_cast<std::size_t>(index.column())];
    switch (role) {
    case Qt::DisplayRole: {
        const QVariant v = value(r, column);
        if (v.typeId() != QMetaType::Double) return v;
        return QString::number(v.toDouble(), 'f',
                               DecimalsOf(column.figure == Figure::TimeToPeak,
                                          column.part == Part::Percent,
                                          column.si && column.figure == Figure::Volume));
    }
    case SortRole:
        return value(r, column);
    case ExceedsRole:
        return PeakExceeds(r, threshold_);
    case Qt::BackgroundRole:
        return PeakExceeds(r, threshold_) ? QBrush(QColor(255, 214, 170)) : QVariant();
    case Qt::ForegroundRole:
        return r.presence != Presence::Both ? QBrush(QColor(110, 110, 110)) : QVariant();
    case Qt::TextAlignmentRole:
        return column.fixed == 0 || column.fixed == 2 ? QVariant(Qt::AlignLeft | Qt::AlignVCenter)
                                                      : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    default:
        return {};
    }
}

QVariant ComparisonTableModel::headerData(int section, Qt::Orientation orientation,
                                          int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    if (section < 0 || section >= columnCount()) return {};
    return header(columns_[static_cast<std::size_t>(section)]);
}

} // namespace tovan
