// The run form: the user picks a deck file, may name the three outputs, and runs the engine on
// it. The widgets only show RunFormModel, which holds the texts, the five names, the states and
// the run itself; the form adds the focus moves, the menus and its own lifetime.
//
// Use from the main window (File > Run Tovan File, the cover's Run button):
//
//     auto* form = new tovan::run::frmTOVAN98(this, platform);
//     form->showModal(); // returns when the form is unloaded or hidden; do not touch it after
//
// The form deletes itself when it is unloaded (File > Close, File > Exit, No to "Run another
// input file?", the close box or Escape). Help > About and Help > Technical Support hide it
// instead, which also ends showModal(); connect aboutRequested() and techSupportRequested() to
// the shell's frmAbout and frmTech. Until they are connected, both show a plain message box.
#pragma once

#include "platform/Platform.h"
#include "run/EngineCaller.h"
#include "run/RunForm.h"

#include <QDialog>
#include <memory>
#include <string_view>

class QLabel;
class QLineEdit;
class QMenuBar;
class QPushButton;

namespace tovan::run {

class frmTOVAN98 : public QDialog {
    Q_OBJECT

  public:
    // Runs the engine through the helper program tovan-engine-host next to the running
    // program (or, failing that, the first one on the search path). `platform` must outlive
    // the form; create the form with new, since it deletes itself.
    frmTOVAN98(QWidget* parent, Platform& platform);
    // Runs the engine through `engine`, which must outlive the form.
    frmTOVAN98(QWidget* parent, Platform& platform, EngineCaller& engine);
    ~frmTOVAN98() override;

    // Shows the form modally over its parent and returns when it is unloaded or hidden.
    void showModal();
    // The first Browse starts in this folder (the open deck's).
    void setDeckFolder(const std::string& folder) { model_.setDeckFolder(folder); }

  signals:
    // Help > About: the form has hidden itself and will not come back (it deletes itself);
    // show frmAbout, modeless.
    void aboutRequested();
    // Help > Technical Support: the form has hidden itself; show frmTech, modeless, at the
    // form's top-left corner, and call showAgain() on the form when frmTech closes.
    void techSupportRequested(tovan::run::frmTOVAN98* form);
    // A run completed: the full name of its results file, for the shell's results window.
    void runCompleted(const QString& resultsFile);

  public slots:
    // Shows the form again, modeless, after Technical Support.
    void showAgain();

  protected:
    void done(int result) override;

  private:
    frmTOVAN98(QWidget* parent, Platform& platform, std::unique_ptr<EngineCaller> engine);

    void Form_Load();
    void cmdBrowse_Click();
    void cmdRun_Click();
    void mnuNew_Click();
    void mnuClear_Click();
    void mnuFileClose_Click() { unloadForm(); }
    void mnuFileExit_Click() { unloadForm(); }
    void mnuHelpAbout_Click();
    void mnuHelpTech_Click();

    void buildControls();
    void buildMenus(QMenuBar* menuBar);
    void buildLayout(QMenuBar* menuBar);
    void placeOnScreen();
    void showModelState();
    void takeBoxTexts();
    void showReplacedFiles();
    void afterRun(AfterRun after);
    void unloadForm();
    template <typename Body>
    void Trap(std::string_view errorTitle, Body&& body);

    Platform& platform_;
    std::unique_ptr<EngineCaller> ownEngine_; // the helper, when no engine was given
    EngineCaller& engine_;
    RunFormModel model_;
    bool running_ = false;

    QLabel* lblInstruct_ = nullptr;
    QPushButton* cmdBrowse_ = nullptr;
    QPushButton* cmdRun_ = nullptr;
    QLabel* Label5_ = nullptr;
    QLabel* lblInput_ = nullptr;
    QLabel* lblOutput_ = nullptr;
    QLabel* lblReplaces_ = nullptr;
    QLabel* Label1_ = nullptr;
    QLabel* Label2_ = nullptr;
    QLabel* Label3_ = nullptr;
    QLabel* Label4_ = nullptr;
    QLineEdit* txtOut_ = nullptr;
    QLineEdit* txtDrelm_ = nullptr;
    QLineEdit* txtPeak_ = nullptr;
};

} // namespace tovan::run
