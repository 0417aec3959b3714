// The label row of a grid, drawn as its column header so that it stays in view: the labels
// wrapped over several lines and shown in full, on their grey (or red, optional) background.
#pragma once

#include <QHeaderView>

namespace tovan {

class GridLabelHeader : public QHeaderView {
    Q_OBJECT
  public:
    explicit GridLabelHeader(QWidget* parent = nullptr);

    // Makes the header as tall as its most wrapped label needs at the current widths.
    void fitHeightToLabels();
    // The width the longest word of the label of `section` needs, so that no word is cut.
    int longestWordWidth(int section) const;
    // The height the label of `section` needs at `width` pixels.
    int labelHeight(int section, int width) const;

  protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;

  private:
    static constexpr int kMargin = 4;
};

} // namespace tovan
