// Technical support information: whom to contact about the software. Opened over the run
// form, which it shows again when it closes.
#pragma once

#include <QDialog>

class QLabel;

namespace tovan {

class frmTech : public QDialog {
    Q_OBJECT
  public:
    // `runForm` is the form it is placed over and returns to; may be null.
    explicit frmTech(QWidget* runForm);

    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    QWidget* runForm_;
};

} // namespace tovan
