#include "run/RunForm.h"

#include "platform/FilePath.h"

#include <cstdlib>

namespace tovan::run {

namespace fs = std::filesystem;

std::string FirstDialogFolder() {
#if defined(_WIN32)
    return "C:\\";
#else
    const char* home = std::getenv("HOME");
    return home != nullptr ? home : "/";
#endif
}

FileDialogRequest RunFormModel::dialogRequest() const {
    FileDialogRequest request;
    request.title = form::kDialogTitle;
    request.filter = form::kDialogFilter;
    request.defaultExtension = form::kDialogExtension;
    request.initialDirectory = !lastFullName_.empty()
                                   ? TextFromPath(PathFromText(lastFullName_).parent_path())
                               : !deckFolder_.empty() ? deckFolder_
                                                      : FirstDialogFolder();
    return request;
}

bool RunFormModel::cmdBrowse_Click(Platform& platform) {
    const std::optional<std::string> chosen = platform.chooseFileToOpen(dialogRequest());
    if (!chosen) {
        Clear_Inputs();
        return false;
    }
    lastFullName_ = *chosen;
    InputFile = TextFromPath(PathFromText(*chosen).filename());
    if (InputFile.empty()) return false;
    folder_ = PathFromText(FolderOfChosenFile(*chosen, InputFile));
    if (folder_.empty()) folder_ = PathFromText(*chosen).parent_path(); // "/storm.tvi" is in "/"
    state_ = RunFormState::InputChosen;
    inputCaption_ = InputFile;
    outputCaption_ = std::string(form::kOutputFolderPrefix) + TextFromPath(folder_);
    return true;
}

std::string RunFormModel::replacedCaption() const {
    if (!chosenFileShown()) return {};
    const EngineFiles files = DeriveEngineFiles(InputFile, reportBox, drelmBox, peakBox);
    return ReplacedOutputsText(ReplacedOutputs(folder_, files));
}

AfterRun RunFormModel::cmdRun_Click(Platform& platform, EngineCaller& engine) {
    SavedInputFile = InputFile;
    const RunRequest request{folder_, InputFile, reportBox, drelmBox, peakBox, {}};
    const AfterRun after = run::cmdRun_Click(platform, engine, request);
    const EngineFiles files = DeriveEngineFiles(InputFile, reportBox, drelmBox, peakBox);
    OutputFile = files.report;
    DrelmFile = files.drelm;
    PeakFile = files.peak;
    if (after == AfterRun::RunAnother) Clear_Inputs();
    return after;
}

void RunFormModel::Clear_All() {
    InputFile.clear();
    OutputFile.clear();
    DrelmFile.clear();
    PeakFile.clear();
}

void RunFormModel::Clear_Visible() {
    inputCaption_.clear();
    outputCaption_.clear();
    reportBox.clear();
    drelmBox.clear();
    peakBox.clear();
    state_ = RunFormState::Empty;
}

void RunFormModel::Clear_Inputs() {
    Clear_Visible();
    Clear_All();
}

} // namespace tovan::run
