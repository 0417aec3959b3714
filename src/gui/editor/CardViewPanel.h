// The card view: the 80-column cards the record under the caret becomes, exactly as the save
// writes them (the save's own card functions build them), under a column ruler. The field
// under the caret is highlighted and named with its deck columns and format; a field the
// writer fills with asterisks is shown in red with the largest value it can hold. A B1 storm
// shows all its cards, with the correction-factor columns of its last card marked; a catchment
// shows its C, D and D1 cards.
#pragma once

#include "fileio/SaveFile.h"

#include <QWidget>
#include <string>
#include <vector>

class QLabel;
class QTextEdit;

namespace tovan {

class CardViewPanel : public QWidget {
    Q_OBJECT
  public:
    explicit CardViewPanel(QWidget* parent = nullptr);

    // Shows the cards of the record in `row` of `recordSet` ("A", "B1", "B2", "C" or "D") with
    // the field of grid column `col` marked; without grids, or on a row that holds no record,
    // the view is empty.
    void showRecord(const DeckGrids* grids, const std::string& recordSet, int col, int row);

    // The cards shown, in their order, and which of them holds the caret's record.
    const std::vector<RecordCard>& cards() const { return cards_; }
    // The card lines as shown, without the ruler and the margin that names each card.
    QStringList shownCards() const;
    QLabel* fieldLabel() const { return field_; }
    QTextEdit* view() const { return view_; }
    // As wide as a whole card, and low: the grids stay the larger part of the window.
    QSize sizeHint() const override;

    // Columns left of the cards that name each card ("B1.2 >").
    static constexpr int kMargin = 6;

  private:
    QString cardHtml(const RecordCard& card, bool caretCard, const std::string& recordSet,
                     int col) const;
    QString describeField(const RecordCard& card, const std::string& recordSet, int col,
                          const std::string& cellText) const;

    QTextEdit* view_;
    QLabel* field_;
    std::vector<RecordCard> cards_;
    std::vector<bool> caretCards_;
};

} // namespace tovan
