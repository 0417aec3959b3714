// What the run form frmTOVAN98 knows and does, without its widgets: its fixed texts, its five
// file names, the three states, the file choice and the run. The Qt form shows this model
// (buttons enabled, labels visible, captions) and hands it the texts of its three boxes; the
// focus moves (to the report box after a choice, to Browse after New) stay with the form.
#pragma once

#include "platform/Platform.h"
#include "run/EngineCaller.h"
#include "run/RunSequence.h"

#include <filesystem>
#include <string>

namespace tovan::run {

namespace form {
inline constexpr std::string_view kTitle = "TOVAN2000 Input\\Output File Entry Form";
inline constexpr std::string_view kInstruction =
    "To run TOVAN2000, choose an input file with the \"Browse\" button.  Enter relevant output "
    "files in text boxes below.  Click \"Run TOVAN2000\" to execute the program.";
inline constexpr std::string_view kBrowseCaption = "&Browse For Input File";
inline constexpr std::string_view kBrowseTip = "Searches for input file";
inline constexpr std::string_view kRunCaption = "&Run TOVAN2000";
inline constexpr std::string_view kRunTip = "Runs the program";
inline constexpr std::string_view kInputLabel = "Input File:";
inline constexpr std::string_view kOptionalLabel =
    "Optional:\nEnter Output File Names as appropriate without extensions.\n"
    "(Extensions are assigned automatically)";
inline constexpr std::string_view kReportLabel = "Enter &TOVAN2000 Output File Name:";
inline constexpr std::string_view kDrelmLabel = "Enter &DRELM Input File Name:";
inline constexpr std::string_view kPeakLabel = "Enter &Peak Output File Name:";
inline constexpr std::string_view kOutputFolderPrefix = "All output files will be sent to: ";
inline constexpr std::string_view kDialogTitle = "Get TOVAN File Input";
inline constexpr std::string_view kDialogFilter =
    "TOVAN Input Files (*.tvi)|*.tvi|All Files (*.*)|*.*";
inline constexpr std::string_view kDialogExtension = "tvi";
inline constexpr int kLeftTwips = 500;
inline constexpr int kTopTwips = 500;
} // namespace form

enum class RunFormState { Empty, InputChosen };

class RunFormModel {
  public:
    // The five names of the form; all start empty.
    std::string InputFile, OutputFile, DrelmFile, PeakFile, SavedInputFile;
    // The texts of the three boxes, as the user typed them.
    std::string reportBox, drelmBox, peakBox;

    RunFormState state() const { return state_; }
    bool browseEnabled() const { return state_ == RunFormState::Empty; }
    bool runEnabled() const { return state_ == RunFormState::InputChosen && !InputFile.empty(); }
    bool chosenFileShown() const { return state_ == RunFormState::InputChosen; }
    const std::string& inputCaption() const { return inputCaption_; }
    const std::string& outputCaption() const { return outputCaption_; }
    const std::filesystem::path& folder() const { return folder_; }
    // Which existing files a run with the names as typed would replace ("The run replaces
    // storm.tvo and storm.results.json."), or nothing; shown before the run, beside the boxes.
    std::string replacedCaption() const;
    // The folder of the deck open in the editor: the first Browse starts there instead of in
    // the default folder. Empty for none.
    void setDeckFolder(std::string folder) { deckFolder_ = std::move(folder); }

    // Browse: the file dialog, then the chosen file and its folder shown; a cancelled dialog
    // clears the entries. Returns true when a file was chosen.
    bool cmdBrowse_Click(Platform& platform);

    // Run: the run sequence in the chosen file's folder; the entries are cleared when the user
    // wants to run another file.
    AfterRun cmdRun_Click(Platform& platform, EngineCaller& engine);

    void Clear_All();     // File > New, first half: the four names
    void Clear_Visible(); // File > New, second half: captions, boxes, buttons
    void Clear_Inputs();  // Option > Clear All Entries, a cancelled dialog, Yes after a run
    void mnuNew_Click() {
        Clear_All();
        Clear_Visible();
    }

    // The dialog's request: the first time in the first folder, afterwards in the folder of
    // the file chosen last.
    FileDialogRequest dialogRequest() const;

  private:
    RunFormState state_ = RunFormState::Empty;
    std::string inputCaption_, outputCaption_;
    std::string lastFullName_; // the dialog's file name, kept between choices
    std::string deckFolder_;
    std::filesystem::path folder_;
};

// The dialog's first folder: "C:\" on Windows; elsewhere, where there is no such folder, the
// user's home folder.
std::string FirstDialogFolder();

} // namespace tovan::run
