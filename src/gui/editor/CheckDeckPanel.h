// The Check Deck panel: every finding of the deck being edited, each with an icon for its
// class, its record set, record and column: what the save would refuse or warn about, what the
// deck cannot hold, and what the engine would question. It follows the document as the user
// edits, a moment after the typing stops, so that a burst of changes costs one check.
#pragma once

#include "fileio/Findings.h"

#include <QPointer>
#include <QThreadPool>
#include <QTimer>
#include <QWidget>
#include <vector>

class QTreeWidget;
class QTreeWidgetItem;

namespace tovan {

class DeckDocument;

class CheckDeckPanel : public QWidget {
    Q_OBJECT
  public:
    // How long the grids must stay unchanged before they are checked again.
    static constexpr int kSettleMs = 150;

    explicit CheckDeckPanel(QWidget* parent = nullptr);
    ~CheckDeckPanel() override;

    // Follows `document`; null empties the list.
    void setDocument(DeckDocument* document);
    // Findings that do not come from the grids (what the deck's file held that its reading did
    // not take), listed first until they are set again or the document changes.
    void setFileFindings(std::vector<Finding> findings);
    // Checks the grids at once instead of after the pause.
    void checkNow();
    // Checks a copy of the grids on a worker thread: a large deck takes longer to check than
    // typing may wait. The list is filled when the check is done, unless the grids changed
    // again meanwhile.
    void checkInBackground();
    const std::vector<Finding>& findings() const { return findings_; }
    QTreeWidget* list() const { return list_; }
    // "2 fatal, 5 warnings": the status bar's words for the findings.
    QString countText() const;
    // Low: the grids stay the larger part of the window.
    QSize sizeHint() const override { return {420, 8 * fontMetrics().height()}; }

  signals:
    // Double-click or Enter on a finding: the editor shows its cell.
    void findingActivated(const tovan::CellPlace& place);
    // The list was filled again.
    void findingsChanged();

  private:
    void showFindings(std::vector<Finding> findings);
    void fill();
    void activate(QTreeWidgetItem* item);

    QPointer<DeckDocument> document_;
    QTimer settle_;
    QThreadPool checker_;     // one thread: the checks keep their order
    unsigned generation_ = 0; // counts the changes, so that a late result is not shown
    QTreeWidget* list_;
    std::vector<Finding> findings_;
    std::vector<Finding> fileFindings_;
};

// The tint of a cell with a finding of this class.
QColor FindingTint(FindingClass kind);

} // namespace tovan
