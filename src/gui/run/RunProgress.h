// Runs of the engine that keep the program responsive: the helper runs on a worker thread while
// the caller's window goes on handling events, and a run that takes longer than a moment shows
// a progress dialog with the catchment being computed and a Cancel button. Cancel stops the
// helper through the run core's stop flag, so the run sequence removes the partial outputs and
// says so, as for any interrupted run.
#pragma once

#include "run/ChildProcess.h"
#include "run/EngineCaller.h"

#include <QDialog>
#include <atomic>
#include <chrono>
#include <filesystem>

class QLabel;
class QProgressBar;
class QPushButton;

namespace tovan::run {

inline constexpr std::string_view kProgressTitle = "Running TOVAN2000";

class RunProgressDialog : public QDialog {
    Q_OBJECT
  public:
    RunProgressDialog(std::atomic<bool>& stop, QWidget* parent = nullptr);

    // A progress line of the helper, "Catchment 1,234 of 10,000".
    void showProgress(const QString& line);
    QPushButton* cancelButton() const { return cancel_; }
    QLabel* progressLabel() const { return progress_; }

  protected:
    void reject() override; // Escape and the close box cancel too

  private:
    void cancelRun();

    std::atomic<bool>& stop_;
    QLabel* progress_ = nullptr;
    QProgressBar* bar_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

class ProgressEngineCaller : public EngineCaller {
  public:
    // Calls the helper at `host`; a call that has not ended after `quietTime` shows the
    // progress dialog over the active window.
    explicit ProgressEngineCaller(
        std::filesystem::path host = DefaultHost(),
        std::chrono::milliseconds quietTime = std::chrono::milliseconds(500),
        ChildOptions options = {});

    EngineOutcome call(const std::filesystem::path& folder, const EngineFiles& files) override;

    static std::filesystem::path DefaultHost();

  private:
    std::filesystem::path host_;
    std::chrono::milliseconds quietTime_;
    ChildOptions options_;
};

} // namespace tovan::run
