// The Design Storm dialog: a storm built by one of the core's methods, previewed as it will be
// written (bars of the step depths, the cumulative curve, total, peak and time to peak) before
// it is placed in record set B1. The dialog only prepares the storm; the editor places it as
// one step of its history.
#pragma once

#include "platform/Platform.h"
#include "storms/StormPlacement.h"

#include <QDialog>
#include <optional>

class QChartView;
class QComboBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace tovan {

class DesignStormDialog : public QDialog {
    Q_OBJECT
  public:
    // `grids` is the deck the storm goes into; `platform` remembers the parameters, asks
    // before a storm is replaced and offers the observed file.
    DesignStormDialog(const DeckGrids& grids, Platform& platform, QWidget* parent = nullptr);

    // The storm to place, once Place was pressed (and a replacement agreed to).
    const std::optional<PreparedStorm>& prepared() const { return prepared_; }
    // What the preview says now: the summary, or why the storm cannot be built.
    QString summaryText() const;

  private:
    void buildForm();
    QLineEdit* addField(const char* name, const QString& label, const QString& tip);
    void showMethodRows();
    void rebuild();
    StormRequest request() const;
    void drawPreview(const PreparedStorm& storm);
    void browseForFile();
    void place();
    void remember();
    void recall();

    const DeckGrids& grids_;
    Platform& platform_;
    QFormLayout* form_ = nullptr;
    QComboBox* method_ = nullptr;
    QComboBox* kind_ = nullptr;
    QLineEdit *depth_ = nullptr, *duration_ = nullptr, *step_ = nullptr, *table_ = nullptr,
              *peak_ = nullptr, *idfA_ = nullptr, *idfB_ = nullptr, *idfC_ = nullptr,
              *peakRatio_ = nullptr, *file_ = nullptr, *ident_ = nullptr;
    QPushButton* browse_ = nullptr;
    QSpinBox* number_ = nullptr;
    QChartView* chart_ = nullptr;
    QLabel* summary_ = nullptr;
    QPushButton* placeButton_ = nullptr;
    QString suggestedIdent_; // the identification shown while the user has not typed one
    std::optional<PreparedStorm> current_, prepared_;
    std::string observedText_, observedPath_;
};

} // namespace tovan
