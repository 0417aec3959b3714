#include "editor/CheckDeckPanel.h"

#include "editor/DeckDocument.h"
#include "fileio/DeckFindings.h"

#include <QHeaderView>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <memory>

namespace tovan {

namespace {

enum Column { kClass, kSet, kRecord, kCatchment, kField, kText, kColumnCount };

QIcon ClassIcon(const QStyle& style, FindingClass kind) {
    switch (kind) {
    case FindingClass::Fatal:
    case FindingClass::EngineProblem:
        return style.standardIcon(QStyle::SP_MessageBoxCritical);
    case FindingClass::Warning:
    case FindingClass::Loss:
        return style.standardIcon(QStyle::SP_MessageBoxWarning);
    case FindingClass::EngineNote:
        break;
    }
    return style.standardIcon(QStyle::SP_MessageBoxInformation);
}

// The record as the grid's row header numbers it (grid row 2 is record 1); blank for a finding
// that is not about one row.
QString RecordText(const CellPlace& place) {
    return place.row > 1 ? QString::number(place.row - 1) : QString();
}

// The identification of the catchment of a C or D place, as record set C holds it.
QString CatchmentOf(const DeckGrids& grids, const CellPlace& place) {
    const Grid& c = grids.fpCardC;
    if ((place.recordSet != "C" && place.recordSet != "D") || place.row <= kLabelRow ||
        place.row >= c.maxRows())
        return {};
    return QString::fromLatin1(c.value(col::kCIdent, place.row)).trimmed();
}

} // namespace

QColor FindingTint(FindingClass kind) {
    switch (kind) {
    case FindingClass::Fatal:
    case FindingClass::EngineProblem:
        return {255, 196, 196};
    case FindingClass::Warning:
    case FindingClass::Loss:
        return {255, 230, 160};
    case FindingClass::EngineNote:
        break;
    }
    return {205, 225, 255};
}

CheckDeckPanel::CheckDeckPanel(QWidget* parent) : QWidget(parent), list_(new QTreeWidget(this)) {
    setObjectName(QStringLiteral("CheckDeckPanel"));
    list_->setObjectName(QStringLiteral("lstFindings"));
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true); // thousands of findings scroll smoothly
    list_->setColumnCount(kColumnCount);
    list_->setHeaderLabels(
        {tr("Class"), tr("Set"), tr("Record"), tr("Catchment"), tr("Column"), tr("Finding")});
    list_->header()->setStretchLastSection(true);
    list_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(list_);
    settle_.setSingleShot(true);
    settle_.setInterval(kSettleMs);
    connect(&settle_, &QTimer::timeout, this, &CheckDeckPanel::checkInBackground);
    checker_.setMaxThreadCount(1);
    connect(list_, &QTreeWidget::itemActivated, this, &CheckDeckPanel::activate);
}

CheckDeckPanel::~CheckDeckPanel() {
    checker_.waitForDone();
}

void CheckDeckPanel::setDocument(DeckDocument* document) {
    if (document_) disconnect(document_, nullptr, this, nullptr);
    document_ = document;
    fileFindings_.clear();
    if (document_) {
        connect(document_, &DeckDocument::contentsChanged, this, [this] {
            ++generation_;
            settle_.start(); // restarted by every change: one check per pause
        });
    }
    checkNow();
}

void CheckDeckPanel::setFileFindings(std::vector<Finding> findings) {
    fileFindings_ = std::move(findings);
    checkNow();
}

void CheckDeckPanel::checkNow() {
    settle_.stop();
    ++generation_;
    showFindings(document_ ? ListFindings(document_->grids()) : std::vector<Finding>{});
}

// Only the copy is made on the UI thread; the grids themselves are never read from the worker.
void CheckDeckPanel::checkInBackground() {
    if (!document_) return checkNow();
    auto grids = std::make_shared<const DeckGrids>(document_->grids());
    const unsigned generation = generation_;
    QPointer<CheckDeckPanel> panel(this);
    checker_.start([grids, generation, panel] {
        auto findings = std::make_shared<std::vector<Finding>>(ListFindings(*grids));
        QMetaObject::invokeMethod(
            panel, // nothing is called when the panel went meanwhile
            [findings, generation, panel] {
                if (panel && panel->generation_ == generation)
                    panel->showFindings(std::move(*findings));
            },
            Qt::QueuedConnection);
    });
}

void CheckDeckPanel::showFindings(std::vector<Finding> findings) {
    findings.insert(findings.begin(), fileFindings_.begin(), fileFindings_.end());
    findings_ = std::move(findings);
    fill();
    emit findingsChanged();
}

void CheckDeckPanel::fill() {
    list_->setUpdatesEnabled(false);
    list_->clear();
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(findings_.size()));
    const DeckGrids* grids = document_ ? &document_->grids() : nullptr;
    for (std::size_t i = 0; i < findings_.size(); ++i) {
        const Finding& finding = findings_[i];
        auto* item = new QTreeWidgetItem;
        item->setIcon(kClass, ClassIcon(*style(), finding.kind));
        item->setText(kClass, QString::fromLatin1(ClassName(finding.kind)));
        item->setText(kSet, QString::fromStdString(finding.place.recordSet));
        item->setText(kRecord, RecordText(finding.place));
        if (grids) {
            item->setText(kCatchment, CatchmentOf(*grids, finding.place));
            item->setToolTip(kSet, QString::fromLatin1(PlaceText(*grids, finding.place)));
        }
        item->setText(kField,
                      finding.place.col > 0 ? QString::number(finding.place.col) : QString());
        item->setText(kText, QString::fromLatin1(finding.text));
        item->setToolTip(kText, item->text(kText));
        item->setData(kClass, Qt::UserRole, static_cast<qulonglong>(i));
        items << item;
    }
    list_->addTopLevelItems(items);
    list_->setUpdatesEnabled(true);
}

void CheckDeckPanel::activate(QTreeWidgetItem* item) {
    const auto i = item->data(kClass, Qt::UserRole).toULongLong();
    if (i < findings_.size() && !findings_[i].place.recordSet.empty())
        emit findingActivated(findings_[i].place);
}

// The classes counted as the list shows them: fatal, problem (the engine will not compute),
// warning (the save's warnings and what the deck cannot hold) and note.
QString CheckDeckPanel::countText() const {
    int fatal = 0, problems = 0, warnings = 0, notes = 0;
    for (const Finding& finding : findings_) {
        switch (finding.kind) {
        case FindingClass::Fatal:
            ++fatal;
            break;
        case FindingClass::EngineProblem:
            ++problems;
            break;
        case FindingClass::EngineNote:
            ++notes;
            break;
        case FindingClass::Warning:
        case FindingClass::Loss:
            ++warnings;
            break;
        }
    }
    const auto counted = [](int count, const QString& one, const QString& many) {
        return QStringLiteral("%1 %2").arg(count).arg(count == 1 ? one : many);
    };
    QString text = tr("%1 fatal").arg(fatal);
    if (problems > 0)
        text += QStringLiteral(", ") + counted(problems, tr("problem"), tr("problems"));
    text += QStringLiteral(", ") + counted(warnings, tr("warning"), tr("warnings"));
    if (notes > 0) text += QStringLiteral(", ") + counted(notes, tr("note"), tr("notes"));
    return text;
}

} // namespace tovan
