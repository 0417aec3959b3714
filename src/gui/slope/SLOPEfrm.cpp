#include "slope/SLOPEfrm.h"

#include "deck/RecordSets.h"
#include "slope/SlopeTextBox.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <exception>
#include <utility>

namespace tovan {

namespace {

constexpr const char* kHelpText =
    "This screen allows the user to build a corrected, weighted composite slope \n"
    "with up to four segments. IF ONLY ONE SLOPE IS TO BE ENTERED, \n"
    "SIMPLY ENTER IT UNDER \"MEAS. SLOPE\" for SEGMENT 1.";

// Codes above the colon: the letters and the punctuation after it. Digits, the blank, the
// signs, the point, the slash, the colon and control characters (Backspace, Ctrl+V) pass.
constexpr int kLastAllowedCode = 58;

std::string Latin1(const QString& text) {
    return text.toLatin1().toStdString();
}

// The background: a pale sky over a hillside of four straight segments, drawn rather than
// loaded so that the calculator needs no picture files. Pale enough to keep the texts legible.
QPixmap BackgroundPicture() {
    QPixmap picture(480, 360);
    QPainter painter(&picture);
    QLinearGradient sky(0, 0, 0, 360);
    sky.setColorAt(0, QColor(222, 234, 247));
    sky.setColorAt(1, QColor(246, 244, 232));
    painter.fillRect(picture.rect(), sky);
    QPainterPath hill;
    hill.moveTo(0, 250);
    hill.lineTo(120, 270);
    hill.lineTo(240, 300);
    hill.lineTo(360, 320);
    hill.lineTo(480, 326);
    hill.lineTo(480, 360);
    hill.lineTo(0, 360);
    hill.closeSubpath();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(hill, QColor(214, 230, 205));
    painter.setPen(QPen(QColor(170, 196, 160), 2));
    painter.drawPath(hill);
    return picture;
}

QLabel* Heading(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

// The computed values: read-only boxes, white so that they stand out from the background.
QLabel* ResultLabel(QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setAutoFillBackground(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, Qt::white);
    label->setPalette(palette);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setMinimumWidth(90);
    label->setMinimumHeight(QLineEdit().sizeHint().height()); // as tall as the boxes beside it
    return label;
}

int WidestLine(const QFontMetrics& metrics, const QString& text) {
    int widest = 0;
    for (const QString& line : text.split('\n'))
        widest = std::max(widest, metrics.horizontalAdvance(line));
    return widest;
}

} // namespace

SLOPEfrm::SLOPEfrm(QWidget* parent, Grid& fpCardD, Platform& platform,
                   std::function<bool()> dGridOnView)
    : QWidget(parent, Qt::Dialog), fpCardD_(fpCardD), platform_(platform),
      dGridOnView_(std::move(dGridOnView)) {
    if (!dGridOnView_) dGridOnView_ = [this] { return fpCardD_.visible(); };
    setWindowTitle("BUILD SLOPE");
    setObjectName("SLOPEfrm");
    buildControls();
    LENGTH[0]->setText("1");
    for (int i = 0; i < kSlopeSegments; ++i)
        connectSegment(i);
}

void SLOPEfrm::buildControls() {
    Image2 = new QLabel(this);
    Image2->setPixmap(BackgroundPicture());
    Image2->setScaledContents(true);
    Image2->lower();
    auto* layout = new QGridLayout(this);
    layout->setHorizontalSpacing(16);
    // The window is never smaller than its controls need, also with the wrapped headings of a
    // larger font or scale, so that nothing is cut or laid over another control.
    layout->setSizeConstraint(QLayout::SetMinimumSize);
    addHeadings(layout);
    for (int i = 0; i < kSlopeSegments; ++i)
        addSegmentRow(layout, i);
    addCompositeAndButtons(layout);
}

void SLOPEfrm::addHeadings(QGridLayout* layout) {
    layout->addWidget(Heading("SEGMENT", this), 0, 0);
    layout->addWidget(Heading("LENGTH (mi.)", this), 0, 1);
    layout->addWidget(Heading("MEAS. SLOPE (ft/ft)", this), 0, 2);
    layout->addWidget(Heading("CORRECTED SLOPE (ft/ft)", this), 0, 3);
}

// Created length, slope, length, slope...: that is the order Tab (and Enter in a length box)
// walks through, along each segment's row and then down to the next segment.
void SLOPEfrm::addSegmentRow(QGridLayout* layout, int index) {
    const int row = index + 1;
    layout->addWidget(Heading(QString::number(row), this), row, 0);
    LENGTH[index] = new SlopeTextBox(this);
    SLOPE[index] = new SlopeTextBox(this);
    CSLOPE[index] = ResultLabel(this);
    LENGTH[index]->setObjectName(QString("LENGTH%1").arg(index));
    SLOPE[index]->setObjectName(QString("SLOPE%1").arg(index));
    CSLOPE[index]->setObjectName(QString("CSLOPE%1").arg(index));
    layout->addWidget(LENGTH[index], row, 1);
    layout->addWidget(SLOPE[index], row, 2);
    layout->addWidget(CSLOPE[index], row, 3);
}

void SLOPEfrm::addCompositeAndButtons(QGridLayout* layout) {
    layout->addWidget(Heading("WEIGHTED COMPOSITE SLOPE", this), 5, 3);
    COMPOSITE = ResultLabel(this);
    COMPOSITE->setObjectName("COMPOSITE");
    layout->addWidget(COMPOSITE, 6, 3);
    // The help is text to read, not to edit, so it takes no focus and no typing.
    Text1 = new QPlainTextEdit(QString::fromLatin1(kHelpText), this);
    Text1->setObjectName("Text1");
    Text1->setReadOnly(true);
    Text1->setFocusPolicy(Qt::NoFocus);
    Text1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Text1->setMinimumWidth(WidestLine(Text1->fontMetrics(), kHelpText) + 24);
    Text1->setFixedHeight(Text1->fontMetrics().lineSpacing() * 3 + 16);
    layout->addWidget(Text1, 7, 0, 1, 4);
    // Beside the calculator's own controls: where its result will go, since OK writes into the
    // last catchment row whatever row the caret is on.
    lblTarget = new QLabel(this);
    lblTarget->setObjectName("lblTarget");
    lblTarget->setWordWrap(true);
    lblTarget->hide();
    layout->addWidget(lblTarget, 9, 0, 1, 4);
    APPLYbtn = new QPushButton(this);
    APPLYbtn->setObjectName("APPLYbtn");
    APPLYbtn->hide();
    OKbtn = new QPushButton("&OK", this);
    CANCELbtn = new QPushButton("&Cancel", this);
    OKbtn->setObjectName("OKbtn");
    CANCELbtn->setObjectName("CANCELbtn");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(APPLYbtn);
    buttons->addWidget(OKbtn);
    buttons->addWidget(CANCELbtn);
    layout->addLayout(buttons, 8, 0, 1, 4);
    connect(OKbtn, &QPushButton::clicked, this, [this] { OKbtn_Click(); });
    connect(CANCELbtn, &QPushButton::clicked, this, [this] { CANCELbtn_Click(); });
    connect(APPLYbtn, &QPushButton::clicked, this, [this] { APPLYbtn_Click(); });
}

void SLOPEfrm::setCatchments(std::function<CaretCatchment()> caret,
                             std::function<std::string(int row)> nameOfRow) {
    caret_ = std::move(caret);
    nameOfRow_ = std::move(nameOfRow);
    refreshTargets();
}

void SLOPEfrm::refreshTargets() {
    if (!caret_ || !nameOfRow_) return;
    const int last = std::max(fpCardD_.dataRowCnt(), 2);
    lblTarget->setText(QStringLiteral("OK writes the composite into record D, %1.")
                           .arg(QString::fromLatin1(nameOfRow_(last))));
    lblTarget->show();
    const CaretCatchment at = caret_();
    APPLYbtn->setVisible(at.row >= 2);
    APPLYbtn->setEnabled(at.row >= 2 && !COMPOSITE->text().trimmed().isEmpty());
    APPLYbtn->setText(QStringLiteral("Apply to %1").arg(QString::fromLatin1(at.name)));
}

// A change of a length box recomputes nothing by itself; the composite follows when the box
// is left.
void SLOPEfrm::connectSegment(int index) {
    SlopeTextBox* length = LENGTH[index];
    SlopeTextBox* slope = SLOPE[index];
    connect(slope, &QLineEdit::textChanged, this, [this, index] { SLOPE_Change(index); });
    connect(slope, &SlopeTextBox::lostFocus, this, [this, index] { SLOPE_LostFocus(index); });
    connect(length, &SlopeTextBox::lostFocus, this, [this, index] { LENGTH_LostFocus(index); });
    connect(length, &SlopeTextBox::gotFocus, this,
            [this, length] { SelectFirstCharacters(length); });
    connect(slope, &SlopeTextBox::gotFocus, this, [this, slope] { SelectFirstCharacters(slope); });
    connect(length, &SlopeTextBox::keyPress, this, [this](int& key) { LENGTH_KeyPress(key); });
    connect(slope, &SlopeTextBox::keyPress, this, [this](int& key) { SLOPE_KeyPress(key); });
}

void SLOPEfrm::showModeless() {
    show();
    raise();
    activateWindow();
}

QLineEdit* SLOPEfrm::lengthBox(int index) const {
    return LENGTH.at(static_cast<std::size_t>(index));
}

QLineEdit* SLOPEfrm::slopeBox(int index) const {
    return SLOPE.at(static_cast<std::size_t>(index));
}

QLabel* SLOPEfrm::correctedSlopeLabel(int index) const {
    return CSLOPE.at(static_cast<std::size_t>(index));
}

void SLOPEfrm::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Image2->setGeometry(rect());
}

template <typename Body>
void SLOPEfrm::Trapped(std::string_view title, Body&& body) {
    try {
        body();
    } catch (const std::exception& error) {
        platform_.showMessage(error.what(), MessageIcon::Exclamation, title);
    }
}

void SLOPEfrm::SLOPE_Change(int index) {
    Trapped("SLOPE_Change Error!", [&] {
        CSLOPE[index]->setText(
            QString::fromLatin1(CorrectedSlopeText(Latin1(SLOPE[index]->text()))));
        COMP_SLOPE();
    });
}

void SLOPEfrm::SLOPE_LostFocus(int) {
    if (!returningFocus_) COMP_SLOPE();
}

void SLOPEfrm::LENGTH_LostFocus(int index) {
    // Taking the focus back makes the box the focus was going to lose it in turn; that box is
    // not being left by the user and must neither check nor recompute.
    if (returningFocus_) return;
    if (static_cast<float>(LeadingNumber(Latin1(LENGTH[0]->text()))) > 0.0F) {
        COMP_SLOPE();
        return;
    }
    returningFocus_ = true;
    LENGTH[index]->setFocus(Qt::OtherFocusReason);
    platform_.showMessage("The FIRST SEGMENT LENGTH must be greater than zero.",
                          MessageIcon::Information, "ENTRY CHECK");
    returningFocus_ = false;
    // The focus change that left the box finishes after this handler, and a closed message box
    // hands the focus back to the window only then: take it back once both have settled.
    QTimer::singleShot(0, this, [this, index] { returnFocusTo(index); });
}

void SLOPEfrm::returnFocusTo(int index) {
    if (!isVisible()) return;
    returningFocus_ = true;
    activateWindow();
    LENGTH[index]->setFocus(Qt::OtherFocusReason);
    returningFocus_ = false;
}

void SLOPEfrm::SelectFirstCharacters(SlopeTextBox* box) {
    box->setSelection(0, 5);
}

void SLOPEfrm::LENGTH_KeyPress(int& keyAscii) {
    if (keyAscii > kLastAllowedCode) keyAscii = 0;
    if (keyAscii == SlopeTextBox::kEnter) {
        keyAscii = 0;
        focusNextChild();
    }
}

void SLOPEfrm::SLOPE_KeyPress(int& keyAscii) {
    if (keyAscii > kLastAllowedCode) keyAscii = 0;
    if (keyAscii == SlopeTextBox::kEnter) {
        keyAscii = 0;
        CANCELbtn_Click();
    }
}

// A negative corrected slope has no 0.24th power: the composite keeps its last text and the
// user hears of it in the same words as any other invalid argument.
void SLOPEfrm::COMP_SLOPE() {
    std::array<SlopeSegment, kSlopeSegments> segments;
    for (int i = 0; i < kSlopeSegments; ++i)
        segments[i] = {Latin1(CSLOPE[i]->text()), Latin1(LENGTH[i]->text())};
    const auto composite = CompositeSlopeText(segments);
    if (!composite) {
        platform_.showMessage("Invalid procedure call or argument", MessageIcon::Exclamation,
                              "COMP_SLOPE Error!");
        return;
    }
    COMPOSITE->setText(QString::fromLatin1(*composite));
    refreshTargets();
}

void SLOPEfrm::OKbtn_Click() {
    Trapped("OKbtn_Click Error!", [&] {
        if (dGridOnView_()) TransferComposite();
        ResetBoxes();
        hide();
    });
}

void SLOPEfrm::ResetBoxes() {
    for (int i = 0; i < kSlopeSegments; ++i) {
        SLOPE[i]->setText(" ");
        LENGTH[i]->setText(" ");
    }
    LENGTH[0]->setText("1");
}

// Into the catchment the caret is on, through the cell rules of record D, and like OK the
// calculator then starts again and steps aside.
void SLOPEfrm::APPLYbtn_Click() {
    Trapped("APPLYbtn_Click Error!", [&] {
        if (!caret_) return;
        const CaretCatchment at = caret_();
        if (at.row < 2 || COMPOSITE->text().trimmed().isEmpty()) return;
        emit compositeApplied(col::kDSlope, at.row, COMPOSITE->text());
        ResetBoxes();
        hide();
    });
}

void SLOPEfrm::CANCELbtn_Click() {
    hide();
}

// Into the last catchment row: the last row holding data. While no catchment row holds
// anything yet that count is the label row, and the slope goes into the first catchment row
// rather than over the column's label. The composite goes as shown; before anything has been
// computed it shows nothing, and the cell is emptied.
void SLOPEfrm::TransferComposite() {
    const int row = std::max(fpCardD_.dataRowCnt(), 2);
    fpCardD_.setRow(row);
    fpCardD_.setCol(col::kDSlope);
    fpCardD_.setValue(col::kDSlope, row, Latin1(COMPOSITE->text()));
    fpCardD_.setActiveCell(col::kDSlope, row);
    emit compositeTransferred(col::kDSlope, row);
}

} // namespace tovan
