// The splash form shown while the program starts: product, organisation, version. After three
// seconds its timer hands over to the main window.
#pragma once

#include "deck/ApplicationState.h"
#include "platform/Platform.h"

#include <QWidget>
#include <functional>

class QLabel;
class QTimer;

namespace tovan {

class frmSplash : public QWidget {
    Q_OBJECT
  public:
    // `handOver` runs when the timer fires, after the splash has closed.
    frmSplash(ApplicationState& state, Platform& platform, std::function<void()> handOver);

    QLabel* lblProductName;
    QLabel* lblCompanyProduct;
    QLabel* lblVersion;
    QLabel* lblDistMode;
    QTimer* Timer1;

  private:
    void Form_Load();
    void Timer1_Timer();

    ApplicationState& state_;
    Platform& platform_;
    std::function<void()> handOver_;
};

} // namespace tovan
