// The slope calculator window "BUILD SLOPE": up to four measured segments (length in miles,
// measured slope in ft/ft), each shown with its corrected slope, and their length-weighted
// composite. OK writes the composite into the weighted-slope column of the record D grid.
//
// Use from the editor form:
//
//     SLOPEfrm slope(editorWindow, grids.fpCardD, platform,
//                    [&] { return editorShowsCardD(); });  // optional; default fpCardD.visible()
//     ...
//     slope.showModeless();  // the "Build Slope" button of the record D grid
//     QObject::connect(&slope, &SLOPEfrm::compositeTransferred, editor, ...);  // after OK
//
// The calculator is created once and then only shown and hidden, so its boxes keep what the
// user typed between openings (OK resets them); its close box hides it like Cancel. It is a
// window of its own that stays above its parent and is destroyed with it. It writes the grid
// model only: the grid's observer sees the new value and the new active cell, and
// compositeTransferred tells the editor that the user put a value into the deck.
#pragma once

#include "deck/Grid.h"
#include "platform/Platform.h"
#include "slope/CompositeSlope.h"

#include <QWidget>
#include <array>
#include <functional>
#include <string>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QGridLayout;

namespace tovan {

class SlopeTextBox;

class SLOPEfrm : public QWidget {
    Q_OBJECT

  public:
    // dGridOnView tells whether the record D grid is on view in the editor; without it the
    // grid model's own visible() flag is asked.
    SLOPEfrm(QWidget* parent, Grid& fpCardD, Platform& platform,
             std::function<bool()> dGridOnView = {});

    // Shows the calculator without blocking the editor, brought to the front and active.
    void showModeless();

    // The catchment whose row holds the caret in the C or D grid: the row and the text that
    // names it ("row 2, LOWER"). Given, the calculator says where OK writes (the last data
    // row of record D) and offers "Apply to" that catchment beside OK.
    struct CaretCatchment {
        int row = 0;
        std::string name;
    };
    void setCatchments(std::function<CaretCatchment()> caret,
                       std::function<std::string(int row)> nameOfRow);
    // Says again where OK and Apply write (the grids or the caret changed).
    void refreshTargets();
    QLabel* targetLabel() const { return lblTarget; }
    QPushButton* applyButton() const { return APPLYbtn; }

    // The controls, for the editor's tests and for a look at the window.
    QLineEdit* lengthBox(int index) const;
    QLineEdit* slopeBox(int index) const;
    QLabel* correctedSlopeLabel(int index) const;
    QLabel* compositeLabel() const { return COMPOSITE; }
    QPlainTextEdit* helpText() const { return Text1; }
    QPushButton* okButton() const { return OKbtn; }
    QPushButton* cancelButton() const { return CANCELbtn; }

  signals:
    // OK has written the composite into cell (col, row) of the record D grid and made it the
    // grid's active cell (which the grid's view follows by itself).
    void compositeTransferred(int col, int row);
    // Apply: the composite is to go into (col, row) of record D through the cell rules.
    void compositeApplied(int col, int row, const QString& composite);

  protected:
    void resizeEvent(QResizeEvent* event) override; // Form_Resize

  private:
    void buildControls();
    void addHeadings(QGridLayout* layout);
    void addSegmentRow(QGridLayout* layout, int index);
    void addCompositeAndButtons(QGridLayout* layout);
    void connectSegment(int index);

    void SLOPE_Change(int index);
    void SLOPE_LostFocus(int index);
    void LENGTH_LostFocus(int index);
    void returnFocusTo(int index);                 // after the first-length check's message
    void SelectFirstCharacters(SlopeTextBox* box); // LENGTH_GotFocus, SLOPE_GotFocus
    void LENGTH_KeyPress(int& keyAscii);
    void SLOPE_KeyPress(int& keyAscii);
    void COMP_SLOPE();
    void OKbtn_Click();
    void CANCELbtn_Click();
    void TransferComposite();
    void APPLYbtn_Click();
    void ResetBoxes();

    template <typename Body>
    void Trapped(std::string_view title, Body&& body);

    Grid& fpCardD_;
    Platform& platform_;
    std::function<bool()> dGridOnView_;
    bool returningFocus_ = false; // the first-length check is putting the focus back

    std::array<SlopeTextBox*, kSlopeSegments> LENGTH{};
    std::array<SlopeTextBox*, kSlopeSegments> SLOPE{};
    std::array<QLabel*, kSlopeSegments> CSLOPE{};
    QLabel* COMPOSITE = nullptr;
    QPlainTextEdit* Text1 = nullptr;
    QPushButton* OKbtn = nullptr;
    QPushButton* CANCELbtn = nullptr;
    QPushButton* APPLYbtn = nullptr;
    QLabel* lblTarget = nullptr;
    std::function<CaretCatchment()> caret_;
    std::function<std::string(int)> nameOfRow_;
    QLabel* Image2 = nullptr;
};

} // namespace tovan
