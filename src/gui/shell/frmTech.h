// Technical support information: whom to contact about the software. Opened over the run
// form at its top-left corner; `closed` tells the run form to come back.
#pragma once

#include <QDialog>

class QLabel;

namespace tovan {

class frmTech : public QDialog {
    Q_OBJECT
  public:
    // `runForm` is the form it is placed over; may be null. Deletes itself when closed.
    explicit frmTech(QWidget* runForm);

  signals:
    void closed();

  public:
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
};

} // namespace tovan
