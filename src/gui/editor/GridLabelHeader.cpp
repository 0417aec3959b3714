#include "editor/GridLabelHeader.h"

#include <QPainter>

namespace tovan {

GridLabelHeader::GridLabelHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
    setSectionsClickable(true);
    setHighlightSections(false);
    setDefaultAlignment(Qt::AlignCenter);
    connect(this, &QHeaderView::sectionResized, this, &GridLabelHeader::fitHeightToLabels);
}

int GridLabelHeader::labelHeight(int section, int width) const {
    const QString label = model() ? model()->headerData(section, orientation()).toString() : "";
    const QRect box(0, 0, std::max(width - 2 * kMargin, 10), 100000);
    return fontMetrics().boundingRect(box, Qt::TextWordWrap | Qt::AlignCenter, label).height() +
           2 * kMargin;
}

int GridLabelHeader::longestWordWidth(int section) const {
    const QString label = model() ? model()->headerData(section, orientation()).toString() : "";
    int widest = 0;
    for (const QString& word : label.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        widest = std::max(widest, fontMetrics().horizontalAdvance(word));
    return widest + 2 * kMargin + 4;
}

void GridLabelHeader::fitHeightToLabels() {
    int height = fontMetrics().height() + 2 * kMargin;
    for (int section = 0; section < count(); ++section)
        height = std::max(height, labelHeight(section, sectionSize(section)));
    if (height != minimumHeight()) setMinimumHeight(height);
}

void GridLabelHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
    if (!model()) return;
    const QVariant background =
        model()->headerData(logicalIndex, orientation(), Qt::BackgroundRole);
    painter->save();
    painter->fillRect(rect, background.canConvert<QBrush>() ? background.value<QBrush>()
                                                            : palette().button());
    painter->setPen(palette().color(QPalette::Mid));
    painter->drawLine(rect.topRight(), rect.bottomRight());
    painter->drawLine(rect.bottomLeft(), rect.bottomRight());
    // Dark text reads on both the grey and the red background.
    painter->setPen(Qt::black);
    const QString label = model()->headerData(logicalIndex, orientation()).toString();
    painter->drawText(rect.adjusted(kMargin, kMargin, -kMargin, -kMargin),
                      Qt::TextWordWrap | Qt::AlignCenter, label);
    painter->restore();
}

} // namespace tovan
