#include "results/RoutingExportDialog.h"

#include "report/RoutingExport.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>
#include <set>

namespace tovan::results {

RoutingExportDialog::RoutingExportDialog(const RunResults& results,
                                         const std::vector<SummaryRow>& rows, QWidget* parent)
    : QDialog(parent), results_(results), rows_(rows) {
    setObjectName(QStringLiteral("routingExport"));
    setWindowTitle(tr("Export for Routing"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    format_ = new QComboBox(this);
    format_->setObjectName(QStringLiteral("cboRoutingFormat"));
    format_->addItems({tr("SWMM 5 input fragment ([TIMESERIES], [INFLOWS])"),
                       tr("CSV in long form (catchment, storm, time, flow)"),
                       tr("HEC-HMS paired time-flow tables")});
    form->addRow(tr("Format:"), format_);
    layout->addLayout(form);
    layout->addWidget(new QLabel(
        tr("The node each catchment flows to (SWMM). Catchments at one node flow in together."),
        this));
    std::vector<std::string> catchments;
    std::set<std::string> seen;
    for (const SummaryRow& row : rows_) {
        const std::string& ident = results_.catchments[row.catchment].identification;
        if (seen.insert(ident).second) catchments.push_back(ident);
    }
    nodes_ = new QTableWidget(static_cast<int>(catchments.size()), 2, this);
    nodes_->setObjectName(QStringLiteral("routingNodes"));
    nodes_->setHorizontalHeaderLabels({tr("Catchment"), tr("Node")});
    nodes_->verticalHeader()->hide();
    nodes_->horizontalHeader()->setStretchLastSection(true);
    for (int r = 0; r < nodes_->rowCount(); ++r) {
        const QString ident = QString::fromStdString(catchments[static_cast<std::size_t>(r)]);
        auto* name = new QTableWidgetItem(ident);
        name->setFlags(name->flags() & ~Qt::ItemIsEditable);
        nodes_->setItem(r, 0, name);
        nodes_->setItem(
            r, 1,
            new QTableWidgetItem(QString::fromStdString(report::SwmmName(ident.toStdString()))));
    }
    layout->addWidget(nodes_, 1);
    connect(format_, &QComboBox::currentIndexChanged, this,
            [this](int index) { nodes_->setEnabled(index == Swmm); });
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(520, 380);
}

RoutingExportDialog::Format RoutingExportDialog::format() const {
    return static_cast<Format>(format_->currentIndex());
}

std::map<std::string, std::string> RoutingExportDialog::nodes() const {
    std::map<std::string, std::string> nodes;
    for (int r = 0; r < nodes_->rowCount(); ++r) {
        const QString node = nodes_->item(r, 1)->text().trimmed();
        if (!node.isEmpty()) nodes[nodes_->item(r, 0)->text().toStdString()] = node.toStdString();
    }
    return nodes;
}

std::string RoutingExportDialog::text() const {
    switch (format()) {
    case Swmm:
        return report::SwmmFragment(results_, rows_, nodes());
    case LongCsv:
        return report::LongFormCsv(results_, rows_);
    case HecHms:
        break;
    }
    return report::HecHmsTables(results_, rows_);
}

} // namespace tovan::results
