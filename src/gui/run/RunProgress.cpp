#include "run/RunProgress.h"

#include "run/HostEngineCaller.h"

#include <QApplication>
#include <QEventLoop>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <QVBoxLayout>
#include <thread>

namespace tovan::run {

RunProgressDialog::RunProgressDialog(std::atomic<bool>& stop, QWidget* parent)
    : QDialog(parent), stop_(stop) {
    setObjectName(QStringLiteral("RunProgressDialog"));
    setWindowTitle(QString::fromLatin1(kProgressTitle.data(), kProgressTitle.size()));
    setWindowModality(Qt::ApplicationModal);
    auto* layout = new QVBoxLayout(this);
    progress_ = new QLabel(QStringLiteral("Starting the engine..."), this);
    progress_->setObjectName(QStringLiteral("lblProgress"));
    progress_->setMinimumWidth(320);
    bar_ = new QProgressBar(this);
    bar_->setRange(0, 0); // busy until the first count arrives
    cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancel_->setObjectName(QStringLiteral("cmdCancel"));
    layout->addWidget(progress_);
    layout->addWidget(bar_);
    layout->addWidget(cancel_, 0, Qt::AlignRight);
    connect(cancel_, &QPushButton::clicked, this, &RunProgressDialog::cancelRun);
}

void RunProgressDialog::showProgress(const QString& line) {
    if (stop_.load()) return; // "Stopping" stays until the helper has ended
    progress_->setText(line);
    static const QRegularExpression count(QStringLiteral("([\\d,]+) of ([\\d,]+)"));
    const QRegularExpressionMatch match = count.match(line);
    if (!match.hasMatch()) return;
    const int done = match.captured(1).remove(QLatin1Char(',')).toInt();
    const int total = match.captured(2).remove(QLatin1Char(',')).toInt();
    if (total > 0) {
        bar_->setRange(0, total);
        bar_->setValue(done);
    }
}

void RunProgressDialog::reject() {
    cancelRun(); // the dialog closes when the helper has ended
}

void RunProgressDialog::cancelRun() {
    stop_ = true;
    progress_->setText(QStringLiteral("Stopping the run..."));
    cancel_->setEnabled(false);
}

ProgressEngineCaller::ProgressEngineCaller(std::filesystem::path host,
                                           std::chrono::milliseconds quietTime,
                                           ChildOptions options)
    : host_(std::move(host)), quietTime_(quietTime), options_(std::move(options)) {}

std::filesystem::path ProgressEngineCaller::DefaultHost() {
    return HostEngineCaller::DefaultHost();
}

// The helper runs on a worker thread; this thread runs an event loop until it ends. Until the
// dialog shows, the loop leaves the user's input waiting, so that nothing is started on top of
// the run; once it shows, the dialog is modal.
EngineOutcome ProgressEngineCaller::call(const std::filesystem::path& folder,
                                         const EngineFiles& files) {
    std::atomic<bool> stop{false};
    std::atomic<bool> ended{false};
    RunProgressDialog dialog(stop, QApplication::activeWindow());
    ChildOptions options = options_;
    options.stop = &stop;
    options.progress = [&dialog](const std::string& line) {
        const QString text = QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size()));
        QMetaObject::invokeMethod(
            &dialog, [&dialog, text] { dialog.showProgress(text); }, Qt::QueuedConnection);
    };
    QEventLoop loop;
    EngineOutcome outcome;
    std::thread worker([&] {
        outcome = HostEngineCaller(host_, options).call(folder, files);
        ended = true;
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    QTimer quiet;
    quiet.setSingleShot(true);
    QObject::connect(&quiet, &QTimer::timeout, &loop, &QEventLoop::quit);
    quiet.start(quietTime_);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    quiet.stop();
    if (!ended) {
        dialog.show();
        loop.exec();
    }
    worker.join();
    dialog.hide();
    return outcome;
}

} // namespace tovan::run
