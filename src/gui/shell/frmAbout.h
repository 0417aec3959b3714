// The About form: product, description, full version and the organisation it was made for.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace tovan {

class frmAbout : public QDialog {
    Q_OBJECT
  public:
    explicit frmAbout(QWidget* mainWindow);

    QLabel* lblTitle;
    QLabel* lblDescription;
    QLabel* lblVersion2;
    QLabel* lblDisclaimer;
    QPushButton* cmdOK;

  private:
    void Form_Load(QWidget* mainWindow);
    void cmdOK_Click();
};

} // namespace tovan
