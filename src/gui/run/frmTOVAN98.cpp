#include "run/frmTOVAN98.h"

#include "platform/FilePath.h"
#include "run/HostEngineCaller.h"
#include "run/RunProgress.h"

#include <QFile>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMetaMethod>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <cmath>
#include <exception>

namespace tovan::run {

namespace {

constexpr std::string_view kTechTitle = "Technical Support Information";
constexpr std::string_view kAboutText =
    "Tovan2000\n\nCreates and checks input files for the TOVAN2000 rainfall-runoff engine and "
    "runs the engine on them.\n\nVersion " TOVAN_VERSION " Release";
constexpr std::string_view kTechText =
    "For Technical assistance on software use contact:\n\nthe TOVAN2000 support desk of your "
    "organisation.";

// The form's fixed texts are single-byte Latin-1, like every text the core shows.
QString FromText(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

// File names travel in the system's own encoding for file names, both ways.
QString FromName(const std::string& name) {
    return QFile::decodeName(QByteArray::fromStdString(name));
}

std::string ToName(const QString& name) {
    return QFile::encodeName(name).toStdString();
}

QLabel* NewLabel(QWidget* parent, const char* name, std::string_view text = {}) {
    auto* label = new QLabel(FromText(text), parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText); // a file name such as "<b>.tvi" is shown as it is
    return label;
}

QPushButton* NewButton(QWidget* parent, const char* name, std::string_view caption,
                       std::string_view tip) {
    auto* button = new QPushButton(FromText(caption), parent);
    button->setObjectName(name);
    button->setToolTip(FromText(tip));
    return button;
}

QLineEdit* NewBox(QWidget* parent, const char* name, QLabel* label) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    label->setBuddy(box); // Alt and the label's underlined letter move into the box
    return box;
}

// The three widgets that appear once a file is chosen keep their place while hidden, so that
// the form does not jump when they appear.
void KeepPlaceWhenHidden(QWidget* widget) {
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(policy);
}

void SetTextIfChanged(QLineEdit* box, const QString& text) {
    if (box->text() != text) box->setText(text);
}

} // namespace

frmTOVAN98::frmTOVAN98(QWidget* parent, Platform& platform)
    : frmTOVAN98(parent, platform, std::make_unique<ProgressEngineCaller>()) {}

frmTOVAN98::frmTOVAN98(QWidget* parent, Platform& platform, EngineCaller& engine)
    : QDialog(parent), platform_(platform), engine_(engine) {
    Form_Load();
}

frmTOVAN98::frmTOVAN98(QWidget* parent, Platform& platform, std::unique_ptr<EngineCaller> engine)
    : QDialog(parent), platform_(platform), ownEngine_(std::move(engine)), engine_(*ownEngine_) {
    Form_Load();
}

frmTOVAN98::~frmTOVAN98() = default;

void frmTOVAN98::showModal() {
    exec(); // may delete the form (see done())
}

void frmTOVAN98::showAgain() {
    show();
    raise();
    activateWindow();
}

void frmTOVAN98::done(int result) {
    QDialog::done(result);
    // Unloaded: the form is gone, and the next run command builds a fresh one with empty
    // entries. Deferred, so that showModal() and the handler that unloaded can still unwind.
    deleteLater();
}

void frmTOVAN98::Form_Load() {
    setObjectName("frmTOVAN98");
    setWindowTitle(FromText(form::kTitle));
    auto* menuBar = new QMenuBar(this);
    buildControls();
    buildMenus(menuBar);
    buildLayout(menuBar);
    showModelState();
    placeOnScreen();
}

void frmTOVAN98::buildControls() {
    lblInstruct_ = NewLabel(this, "lblInstruct", form::kInstruction);
    lblInstruct_->setWordWrap(true);
    cmdBrowse_ = NewButton(this, "cmdBrowse", form::kBrowseCaption, form::kBrowseTip);
    cmdRun_ = NewButton(this, "cmdRun", form::kRunCaption, form::kRunTip);
    Label5_ = NewLabel(this, "Label5", form::kInputLabel);
    lblInput_ = NewLabel(this, "lblInput");
    lblOutput_ = NewLabel(this, "lblOutput");
    lblOutput_->setWordWrap(true);
    lblReplaces_ = NewLabel(this, "lblReplaces");
    lblReplaces_->setWordWrap(true);
    for (QWidget* widget : {static_cast<QWidget*>(Label5_), static_cast<QWidget*>(lblInput_),
                            static_cast<QWidget*>(lblOutput_)})
        KeepPlaceWhenHidden(widget);
    Label1_ = NewLabel(this, "Label1", form::kOptionalLabel);
    Label2_ = NewLabel(this, "Label2", form::kReportLabel);
    Label3_ = NewLabel(this, "Label3", form::kDrelmLabel);
    Label4_ = NewLabel(this, "Label4", form::kPeakLabel);
    txtOut_ = NewBox(this, "txtOut", Label2_);
    txtDrelm_ = NewBox(this, "txtDrelm", Label3_);
    txtPeak_ = NewBox(this, "txtPeak", Label4_);
    connect(cmdBrowse_, &QPushButton::clicked, this, &frmTOVAN98::cmdBrowse_Click);
    connect(cmdRun_, &QPushButton::clicked, this, &frmTOVAN98::cmdRun_Click);
    for (QLineEdit* box : {txtOut_, txtDrelm_, txtPeak_})
        connect(box, &QLineEdit::textEdited, this, &frmTOVAN98::showReplacedFiles);
}

// Said before the run, as the names are typed, so that no earlier output is replaced unseen.
void frmTOVAN98::showReplacedFiles() {
    takeBoxTexts();
    lblReplaces_->setText(FromName(model_.replacedCaption()));
    lblReplaces_->setVisible(!lblReplaces_->text().isEmpty());
}

void frmTOVAN98::buildMenus(QMenuBar* menuBar) {
    menuBar->setObjectName("menuBar");
    auto addItem = [this](QMenu* menu, const char* name, const char* caption, auto handler) {
        QAction* item = menu->addAction(QString::fromLatin1(caption));
        item->setObjectName(name);
        connect(item, &QAction::triggered, this, handler);
    };
    QMenu* mnuFile = menuBar->addMenu(QStringLiteral("&File"));
    mnuFile->setObjectName("mnuFile");
    addItem(mnuFile, "mnuNew", "&New", &frmTOVAN98::mnuNew_Click);
    addItem(mnuFile, "mnuFileClose", "&Close", &frmTOVAN98::mnuFileClose_Click);
    mnuFile->addSeparator();
    addItem(mnuFile, "mnuFileExit", "E&xit", &frmTOVAN98::mnuFileExit_Click);
    QMenu* mnuOption = menuBar->addMenu(QStringLiteral("&Option"));
    mnuOption->setObjectName("mnuOption");
    addItem(mnuOption, "mnuClear", "&Clear All Entries", &frmTOVAN98::mnuClear_Click);
    QMenu* mnuHelp = menuBar->addMenu(QStringLiteral("&Help"));
    mnuHelp->setObjectName("mnuHelp");
    addItem(mnuHelp, "mnuHelpAbout", "&About", &frmTOVAN98::mnuHelpAbout_Click);
    addItem(mnuHelp, "mnuHelpTech", "&Technical Support", &frmTOVAN98::mnuHelpTech_Click);
}

void frmTOVAN98::buildLayout(QMenuBar* menuBar) {
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdBrowse_);
    buttons->addWidget(cmdRun_);
    auto* chosen = new QHBoxLayout;
    chosen->addWidget(Label5_);
    chosen->addWidget(lblInput_, 1);
    auto* names = new QGridLayout;
    names->addWidget(Label2_, 0, 0);
    names->addWidget(txtOut_, 0, 1);
    names->addWidget(Label3_, 1, 0);
    names->addWidget(txtDrelm_, 1, 1);
    names->addWidget(Label4_, 2, 0);
    names->addWidget(txtPeak_, 2, 1);
    auto* form = new QVBoxLayout(this);
    form->setMenuBar(menuBar);
    form->addWidget(lblInstruct_);
    form->addLayout(buttons);
    form->addLayout(chosen);
    form->addWidget(lblOutput_);
    form->addWidget(Label1_);
    form->addLayout(names);
    form->addWidget(lblReplaces_);
    setMinimumWidth(480);
}

// 500 twips from the left and the top of the screen the main window is on (its available
// part, so that a panel along the top does not cover the title bar).
void frmTOVAN98::placeOnScreen() {
    constexpr double kTwipsPerInch = 1440.0;
    const QScreen* where = parentWidget() != nullptr ? parentWidget()->screen() : screen();
    if (where == nullptr) return;
    const double pixelsPerTwip = where->logicalDotsPerInch() / kTwipsPerInch;
    const QPoint offset(static_cast<int>(std::lround(form::kLeftTwips * pixelsPerTwip)),
                        static_cast<int>(std::lround(form::kTopTwips * pixelsPerTwip)));
    move(where->availableGeometry().topLeft() + offset);
}

void frmTOVAN98::showModelState() {
    cmdBrowse_->setEnabled(model_.browseEnabled());
    cmdRun_->setEnabled(model_.runEnabled());
    const bool shown = model_.chosenFileShown();
    Label5_->setVisible(shown);
    lblInput_->setVisible(shown);
    lblOutput_->setVisible(shown);
    lblInput_->setText(FromName(model_.inputCaption()));
    lblOutput_->setText(FromName(model_.outputCaption()));
    SetTextIfChanged(txtOut_, FromName(model_.reportBox));
    SetTextIfChanged(txtDrelm_, FromName(model_.drelmBox));
    SetTextIfChanged(txtPeak_, FromName(model_.peakBox));
    showReplacedFiles();
}

void frmTOVAN98::takeBoxTexts() {
    model_.reportBox = ToName(txtOut_->text());
    model_.drelmBox = ToName(txtDrelm_->text());
    model_.peakBox = ToName(txtPeak_->text());
}

template <typename Body>
void frmTOVAN98::Trap(std::string_view errorTitle, Body&& body) {
    try {
        body();
    } catch (const std::exception& error) {
        platform_.showMessage(error.what(), MessageIcon::Exclamation, errorTitle);
    }
}

void frmTOVAN98::cmdBrowse_Click() {
    takeBoxTexts(); // a cancelled dialog clears what was typed before Browse
    Trap("mnuFileOpen_Click Error!", [this] { model_.cmdBrowse_Click(platform_); });
    showModelState();
    // After a choice the user goes on with the output names; after a cancel, too.
    txtOut_->setFocus();
}

void frmTOVAN98::cmdRun_Click() {
    // The engine call blocks this thread; a click that reached the form meanwhile is dropped
    // rather than starting a second run on top of the first.
    if (running_) return;
    running_ = true;
    takeBoxTexts();
    AfterRun after = AfterRun::Failed;
    const std::filesystem::path report =
        model_.folder() /
        DeriveEngineFiles(model_.InputFile, model_.reportBox, model_.drelmBox, model_.peakBox)
            .report;
    Trap("cmdRun_Click Error!",
         [this, &after] { after = model_.cmdRun_Click(platform_, engine_); });
    running_ = false;
    if (after != AfterRun::Failed) {
        const auto results = ResultsFileOf(report.parent_path(), TextFromPath(report.filename()));
        emit runCompleted(QString::fromStdString(results.string()));
    }
    afterRun(after);
}

void frmTOVAN98::afterRun(AfterRun after) {
    if (after == AfterRun::CloseForm) {
        unloadForm();
        return;
    }
    showModelState();
    if (after == AfterRun::RunAnother) txtOut_->setFocus();
}

void frmTOVAN98::mnuNew_Click() {
    model_.mnuNew_Click();
    showModelState();
    cmdBrowse_->setFocus();
}

void frmTOVAN98::mnuClear_Click() {
    model_.Clear_Inputs();
    showModelState();
    txtOut_->setFocus();
}

void frmTOVAN98::unloadForm() {
    done(QDialog::Rejected);
}

void frmTOVAN98::mnuHelpAbout_Click() {
    hide(); // ends showModal()
    if (isSignalConnected(QMetaMethod::fromSignal(&frmTOVAN98::aboutRequested))) {
        emit aboutRequested();
    } else {
        platform_.showMessage(kAboutText, MessageIcon::Information, kApplicationTitle);
    }
    // The About form takes the run form's place for good; the next run command builds a
    // fresh form.
    deleteLater();
}

void frmTOVAN98::mnuHelpTech_Click() {
    hide(); // ends showModal()
    if (isSignalConnected(QMetaMethod::fromSignal(&frmTOVAN98::techSupportRequested))) {
        emit techSupportRequested(this);
        return;
    }
    platform_.showMessage(kTechText, MessageIcon::Information, kTechTitle);
    // Queued, so that a modal showModal() has ended before the form comes back modeless.
    QMetaObject::invokeMethod(this, &frmTOVAN98::showAgain, Qt::QueuedConnection);
}

} // namespace tovan::run
