#include "report/HeadlessReport.h"

#include "Version.h"
#include "report/ReportPainter.h"
#include "report/ReportSources.h"

#include <QDate>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>

namespace tovan::report {

namespace {

int Fail(const std::string& why) {
    std::fprintf(stderr, "tovan2000 --report: %s\n", why.c_str());
    return 2;
}

// The switches that turn one part of the report on or off.
struct Switch {
    const char* name;
    bool ReportOptions::*flag;
    bool value;
};
constexpr Switch kSwitches[] = {
    {"--landscape", &ReportOptions::landscape, true},
    {"--cards", &ReportOptions::cards, true},
    {"--no-storms", &ReportOptions::storms, false},
    {"--no-inputs", &ReportOptions::inputs, false},
    {"--no-summary", &ReportOptions::summary, false},
    {"--no-plots", &ReportOptions::plots, false},
    {"--no-notes", &ReportOptions::notes, false},
};

// The options after SOURCE and OUT; false for one it does not know.
bool ReadOptions(const QStringList& args, ReportOptions& options) {
    for (int i = 2; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool hasValue = i + 1 < args.size();
        const auto flag =
            std::find_if(std::begin(kSwitches), std::end(kSwitches),
                         [&a](const Switch& s) { return a == QLatin1String(s.name); });
        if (flag != std::end(kSwitches)) {
            options.*flag->flag = flag->value;
        } else if (a == QLatin1String("--paper") && hasValue) {
            const QString paper = args[++i];
            if (paper.compare(QLatin1String("letter"), Qt::CaseInsensitive) == 0) {
                options.paper = Paper::Letter;
            } else if (paper.compare(QLatin1String("a4"), Qt::CaseInsensitive) == 0) {
                options.paper = Paper::A4;
            } else {
                return false;
            }
        } else if (a == QLatin1String("--prepared-by") && hasValue) {
            options.preparedBy = args[++i].toStdString();
        } else if (a == QLatin1String("--checked-by") && hasValue) {
            options.checkedBy = args[++i].toStdString();
        } else {
            return false;
        }
    }
    return true;
}

} // namespace

bool AsksForReport(int argc, char* argv[]) {
    return argc > 1 && std::strcmp(argv[1], "--report") == 0;
}

int RunHeadlessReport(const QStringList& arguments) {
    // arguments: the program, "--report", SOURCE, OUT, options...
    const QStringList args = arguments.mid(2);
    ReportOptions options;
    if (args.size() < 2 || !ReadOptions(args, options)) {
        std::fputs(kReportUsage, stderr);
        return 2;
    }
    const std::string source = args[0].toStdString();
    const std::string date = QDate::currentDate().toString(Qt::ISODate).toStdString();
    try {
        const ReportDocument document =
            args[0].endsWith(QLatin1String(".results.json"), Qt::CaseInsensitive)
                ? ReportOfResults(source, options, date, kVersionText)
                : ReportOfDeck(source, options, date, kVersionText);
        QString why;
        int pages = 0;
        if (!WriteReportPdf(document, args[1], why, &pages)) return Fail(why.toStdString());
        std::fprintf(stderr, "%s: %d pages\n", args[1].toLocal8Bit().constData(), pages);
        return 0;
    } catch (const ReportError& e) {
        return Fail(e.what());
    }
}

} // namespace tovan::report
