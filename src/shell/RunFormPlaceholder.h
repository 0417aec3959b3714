// Stands in for the run form until the engine run is part of the program: the form's title
// and a note, shown modally like the run form.
#pragma once

#include <QDialog>

namespace tovan {

class RunFormPlaceholder : public QDialog {
    Q_OBJECT
  public:
    explicit RunFormPlaceholder(QWidget* parent);
};

} // namespace tovan
