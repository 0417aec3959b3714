#include "editor/QtPlatform.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <mutex>

namespace tovan {

namespace {

QString Latin1(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

QMessageBox::Icon QtIcon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Exclamation:
        return QMessageBox::Warning;
    case MessageIcon::Critical:
        return QMessageBox::Critical;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

// A message box without a title of its own shows the program's name, as users know it.
QString TitleOrProgramName(std::string_view title) {
    return title.empty() ? QStringLiteral("Tovan2000") : Latin1(title);
}

} // namespace

#if defined(Q_OS_WIN)
QSettings* NewTovanSettings() {
    return new QSettings(QStringLiteral("Tovan 2000"), QStringLiteral("Tovan 2000"));
}
#else
namespace {

// The file QSettings would take for organisation and application "Tovan 2000".
QString TovanSettingsFile() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Tovan 2000/Tovan 2000.conf");
}

// Opening a pipe or a device in its place would wait for a writer that never comes, before any
// window is shown; such a store is left alone, and this run keeps its settings in a scratch
// file of its own.
QString UsableSettingsFile() {
    const QString file = TovanSettingsFile();
    std::error_code error;
    const auto status = std::filesystem::status(QFile::encodeName(file).toStdString(), error);
    if (!std::filesystem::exists(status) || std::filesystem::is_regular_file(status)) return file;
    static QTemporaryDir scratch;
    static std::once_flag told;
    std::call_once(told, [&] {
        std::fprintf(stderr,
                     "Tovan2000: %s is not a regular file: the settings in it are not read, and "
                     "settings changed now are kept only until the program ends.\n",
                     QFile::encodeName(file).constData());
    });
    return scratch.filePath(QStringLiteral("Tovan 2000.conf"));
}

} // namespace

// The same file as QSettings("Tovan 2000", "Tovan 2000"), named so that it is looked at first.
QSettings* NewTovanSettings() {
    return new QSettings(UsableSettingsFile(), QSettings::IniFormat);
}
#endif

void QtPlatform::showMessage(std::string_view text, MessageIcon icon, std::string_view title) {
    QMessageBox box(QtIcon(icon), TitleOrProgramName(title), Latin1(text), QMessageBox::Ok,
                    parent_);
    box.exec();
}

// The detail is the box's informative text: shown at once under the text, not behind a button,
// since it is the reason the user needs.
void QtPlatform::showDetailedMessage(std::string_view text, std::string_view detail,
                                     MessageIcon icon, std::string_view title) {
    QMessageBox box(QtIcon(icon), TitleOrProgramName(title), Latin1(text), QMessageBox::Ok,
                    parent_);
    box.setInformativeText(Latin1(detail));
    box.exec();
}

Answer QtPlatform::askYesNo(std::string_view text, MessageIcon icon, std::string_view title) {
    QMessageBox box(QtIcon(icon), TitleOrProgramName(title), Latin1(text),
                    QMessageBox::Yes | QMessageBox::No, parent_);
    return box.exec() == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

std::size_t QtPlatform::askChoice(std::string_view text, std::string_view title,
                                  const std::vector<std::string>& buttons) {
    QMessageBox box(QMessageBox::Question, TitleOrProgramName(title), Latin1(text),
                    QMessageBox::NoButton, parent_);
    std::vector<QAbstractButton*> added;
    for (const std::string& caption : buttons)
        added.push_back(box.addButton(Latin1(caption), QMessageBox::AcceptRole));
    if (!added.empty()) box.setEscapeButton(added.back());
    box.exec();
    const auto chosen = std::find(added.begin(), added.end(), box.clickedButton());
    return chosen == added.end() ? added.size() - 1
                                 : static_cast<std::size_t>(chosen - added.begin());
}

QString QtPlatform::qtFilter(const std::string& filter) {
    const QStringList parts = Latin1(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i];
        // "*.*" means every file on Windows; here it would skip names without a point.
        if (parts[i + 1] == QLatin1String("*.*"))
            description.replace(QLatin1String("(*.*)"), QLatin1String("(*)"));
        filters << description;
    }
    return filters.join(QLatin1String(";;"));
}

namespace {

// File names are UTF-8 text in the core on Windows (the wide API is used at the file calls)
// and the system's own bytes elsewhere.
QString FromFileText(const std::string& name) {
#if defined(Q_OS_WIN)
    return QString::fromStdString(name);
#else
    return QFile::decodeName(QByteArray::fromStdString(name));
#endif
}

std::string ToFileText(const QString& name) {
#if defined(Q_OS_WIN)
    return name.toStdString();
#else
    return QFile::encodeName(name).toStdString();
#endif
}

} // namespace

QString QtPlatform::existingFolder(const std::string& folder) {
    const QString path = FromFileText(folder);
    return !path.isEmpty() && QDir(path).exists() ? path : QString();
}

// Choosing a file makes its folder the current one, which the run form relies on.
std::optional<std::string> QtPlatform::afterChoice(const QString& chosen) {
    if (chosen.isEmpty()) return std::nullopt;
    QDir::setCurrent(QFileInfo(chosen).absolutePath());
    return ToFileText(QDir::toNativeSeparators(chosen));
}

// A name typed without an extension gets the request's default one (the run form's ".tvi").
std::optional<std::string> QtPlatform::chooseFileToOpen(const FileDialogRequest& request) {
    if (nextOpenAnswer_) {
        const QString chosen = QFileInfo(*nextOpenAnswer_).absoluteFilePath();
        nextOpenAnswer_.reset();
        return afterChoice(chosen);
    }
    QFileDialog dialog(parent_, Latin1(request.title), existingFolder(request.initialDirectory),
                       qtFilter(request.filter));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(Latin1(request.defaultExtension));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return afterChoice(dialog.selectedFiles().constFirst());
}

// The dialog asks before replacing an existing file; no extension is added to a typed name.
std::optional<std::string> QtPlatform::chooseFileToSave(const FileDialogRequest& request) {
    QString start = existingFolder(request.initialDirectory);
    if (!request.fileName.empty()) start = QDir(start).filePath(Latin1(request.fileName));
    return afterChoice(QFileDialog::getSaveFileName(parent_, Latin1(request.title), start,
                                                    qtFilter(request.filter)));
}

std::string QtPlatform::setting(std::string_view section, std::string_view key,
                                std::string_view defaultValue) {
    std::unique_ptr<QSettings> settings(NewTovanSettings());
    const QString name = Latin1(section) + QLatin1Char('/') + Latin1(key);
    return settings->value(name, Latin1(defaultValue)).toString().toLatin1().toStdString();
}

void QtPlatform::saveSetting(std::string_view section, std::string_view key,
                             std::string_view value) {
    std::unique_ptr<QSettings> settings(NewTovanSettings());
    settings->setValue(Latin1(section) + QLatin1Char('/') + Latin1(key), Latin1(value));
}

// The busy cursor is a state, not a stack: any "not busy" ends it, as the program expects
// when the editor's activation restores the arrow after a New.
void QtPlatform::setBusy(bool busy) {
    if (busy == busy_) return;
    busy_ = busy;
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        while (QApplication::overrideCursor())
            QApplication::restoreOverrideCursor();
    }
}

} // namespace tovan
