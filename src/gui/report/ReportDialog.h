// File > Print... and File > Export Report as PDF...: what goes into the report (storms,
// inputs, summary, plots, notes, cards), the paper and its orientation, and the "prepared by"
// and "checked by" names, all remembered for the next report.
#pragma once

#include "platform/Platform.h"
#include "report/ReportLayout.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace tovan::report {

class ReportDialog : public QDialog {
    Q_OBJECT
  public:
    enum class Purpose { Print, Pdf };
    // `hasResults`: without results only the storms, inputs and cards can go in.
    ReportDialog(Purpose purpose, bool hasResults, Platform& platform, QWidget* parent = nullptr);

    // The options as the dialog shows them; accept() remembers them.
    ReportOptions options() const;
    void accept() override;

    QCheckBox* part(const char* name) const;
    QComboBox* paperBox() const { return paper_; }
    QComboBox* orientationBox() const { return orientation_; }
    QLineEdit* preparedByBox() const { return preparedBy_; }
    QLineEdit* checkedByBox() const { return checkedBy_; }

    // The options last used (the defaults the first time).
    static ReportOptions Remembered(Platform& platform);

  private:
    Platform& platform_;
    QComboBox *paper_ = nullptr, *orientation_ = nullptr;
    QLineEdit *preparedBy_ = nullptr, *checkedBy_ = nullptr;
};

} // namespace tovan::report
