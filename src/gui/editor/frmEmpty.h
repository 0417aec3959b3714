// The empty-cell report "Error Check": a heading, an explanation and a list grid of cells
// still to be filled. Nothing fills the list yet, so the form hides itself when it loads and
// the editor closes it again; it is kept so that a future check has a place to report.
#pragma once

#include "deck/Grid.h"

#include <QWidget>

class QLabel;

namespace tovan {

class GridView;

class frmEmpty : public QWidget {
    Q_OBJECT
  public:
    explicit frmEmpty(QWidget* parent = nullptr);
    ~frmEmpty() override;

    // The list's first cell: empty means nothing to report.
    bool isListEmpty() const;

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void Form_Load();
    void placeList();

    Grid list_;
    QLabel* Label1;
    QLabel* Label2;
    GridView* fpSpread1;
};

} // namespace tovan
