// The cover form "TOVAN 2000", maximised in the main window while no deck is open: three
// buttons for a new deck, an open deck and a run, each with a line of explanation.
#pragma once

#include "deck/ApplicationState.h"

#include <QWidget>

class QLabel;
class QPushButton;
class QGroupBox;

namespace tovan {

class MDIfrmTovan2000;

class frmCover : public QWidget {
    Q_OBJECT
  public:
    frmCover(ApplicationState& state, MDIfrmTovan2000& mainWindow);

    void cmdNew_Click();
    void cmdOpen_Click();
    void cmdRun_Click();
    void Form_Activate();

    QPushButton* cmdNew;
    QPushButton* cmdOpen;
    QPushButton* cmdRun;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QWidget* pnlHeader;
    QLabel* Image2;
    QGroupBox* Frame1;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    QWidget* buildHeader();
    QGroupBox* buildButtons();

    ApplicationState& state_;
    MDIfrmTovan2000& main_;
};

} // namespace tovan
