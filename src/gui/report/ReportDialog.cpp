#include "report/ReportDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tovan::report {

namespace {

constexpr std::string_view kSection = "Report", kOptionsKey = "Options",
                           kPreparedKey = "PreparedBy", kCheckedKey = "CheckedBy";

struct Part {
    const char* name;
    const char* caption;
    bool ReportOptions::*flag;
    bool needsResults;
};
constexpr Part kParts[] = {
    {"chkStorms", "&Storms: table and hyetographs", &ReportOptions::storms, false},
    {"chkInputs", "Catchment &inputs (cards C and D)", &ReportOptions::inputs, false},
    {"chkSummary", "S&ummary of peak flows, times and volumes", &ReportOptions::summary, true},
    {"chkPlots", "&Plots: a page per catchment", &ReportOptions::plots, true},
    {"chkNotes", "&NOTEs and PROBLEMs of the run", &ReportOptions::notes, true},
    {"chkCards", "The deck's &cards under a column ruler", &ReportOptions::cards, false},
};

} // namespace

ReportOptions ReportDialog::Remembered(Platform& platform) {
    ReportOptions options;
    ReadOptionsKey(platform.setting(kSection, kOptionsKey, ""), options);
    options.preparedBy = platform.setting(kSection, kPreparedKey, "");
    options.checkedBy = platform.setting(kSection, kCheckedKey, "");
    return options;
}

ReportDialog::ReportDialog(Purpose purpose, bool hasResults, Platform& platform, QWidget* parent)
    : QDialog(parent), platform_(platform) {
    setObjectName(QStringLiteral("reportDialog"));
    setWindowTitle(purpose == Purpose::Print ? tr("Print Report") : tr("Export Report as PDF"));
    const ReportOptions remembered = Remembered(platform_);
    auto* layout = new QVBoxLayout(this);
    auto* parts = new QGroupBox(tr("What goes in"), this);
    auto* partsLayout = new QVBoxLayout(parts);
    for (const Part& part : kParts) {
        auto* box = new QCheckBox(tr(part.caption), parts);
        box->setObjectName(QString::fromLatin1(part.name));
        box->setChecked(remembered.*part.flag && (hasResults || !part.needsResults));
        if (part.needsResults && !hasResults) {
            box->setEnabled(false);
            box->setToolTip(tr("The deck has no results: it has not run, or could not."));
        }
        partsLayout->addWidget(box);
    }
    layout->addWidget(parts);
    auto* form = new QFormLayout;
    paper_ = new QComboBox(this);
    paper_->setObjectName(QStringLiteral("cboPaper"));
    paper_->addItems({QStringLiteral("A4"), QStringLiteral("Letter")});
    paper_->setCurrentIndex(remembered.paper == Paper::Letter ? 1 : 0);
    orientation_ = new QComboBox(this);
    orientation_->setObjectName(QStringLiteral("cboOrientation"));
    orientation_->addItems({tr("Portrait (wide tables in landscape)"), tr("Landscape")});
    orientation_->setCurrentIndex(remembered.landscape ? 1 : 0);
    preparedBy_ = new QLineEdit(QString::fromStdString(remembered.preparedBy), this);
    preparedBy_->setObjectName(QStringLiteral("txtPreparedBy"));
    checkedBy_ = new QLineEdit(QString::fromStdString(remembered.checkedBy), this);
    checkedBy_->setObjectName(QStringLiteral("txtCheckedBy"));
    form->addRow(tr("Paper:"), paper_);
    form->addRow(tr("Orientation:"), orientation_);
    form->addRow(tr("Prepared by:"), preparedBy_);
    form->addRow(tr("Checked by:"), checkedBy_);
    layout->addLayout(form);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)
        ->setText(purpose == Purpose::Print ? tr("&Preview...") : tr("&Export..."));
    connect(buttons, &QDialogButtonBox::accepted, this, &ReportDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &ReportDialog::reject);
    layout->addWidget(buttons);
}

QCheckBox* ReportDialog::part(const char* name) const {
    return findChild<QCheckBox*>(QString::fromLatin1(name));
}

ReportOptions ReportDialog::options() const {
    ReportOptions options;
    for (const Part& p : kParts)
        options.*p.flag = part(p.name)->isChecked();
    options.paper = paper_->currentIndex() == 1 ? Paper::Letter : Paper::A4;
    options.landscape = orientation_->currentIndex() == 1;
    options.preparedBy = preparedBy_->text().toStdString();
    options.checkedBy = checkedBy_->text().toStdString();
    return options;
}

// Parts greyed for want of results keep what the user chose before.
void ReportDialog::accept() {
    ReportOptions kept = options();
    const ReportOptions before = Remembered(platform_);
    for (const Part& p : kParts)
        if (!part(p.name)->isEnabled()) kept.*p.flag = before.*p.flag;
    platform_.saveSetting(kSection, kOptionsKey, OptionsKey(kept));
    platform_.saveSetting(kSection, kPreparedKey, kept.preparedBy);
    platform_.saveSetting(kSection, kCheckedKey, kept.checkedBy);
    QDialog::accept();
}

} // namespace tovan::report
