#include "editor/CardViewPanel.h"

#include "deck/CardLayouts.h"
#include "deck/FieldHelp.h"
#include "fortranio/FormatDescriptor.h"
#include "fortranio/NumericText.h"

#include <QFontDatabase>
#include <QLabel>
#include <QStyle>
#include <QTextDocument>
#include <QTextEdit>
#include <QVBoxLayout>
#include <algorithm>
#include <array>
#include <cmath>

namespace tovan {

namespace {

constexpr int kColumns = 80;        // of every card
constexpr int kLastGridColumn = 25; // the widest grid, record set D
constexpr int kFirstFactorColumn = 65, kLastFactorColumn = 80;
const QString kEnDash = QString(QChar(0x2013));

// How a column of a card is shown; the looks combine.
constexpr unsigned kPlain = 0, kCaret = 1, kAsterisks = 2, kFactors = 4;

// The record set whose grid holds the fields of a card type.
std::string_view RecordSetOf(std::string_view card) {
    if (card == "B1.2") return "B1";
    if (card == "D1") return "D";
    return card;
}

QString Columns(const DeckSpan& span) {
    if (span.first == span.last) return QStringLiteral("column %1").arg(span.first);
    return QStringLiteral("columns %1%2%3").arg(span.first).arg(kEnDash).arg(span.last);
}

bool AllAsterisks(const std::string& card, const DeckSpan& span) {
    if (span.last > static_cast<int>(card.size())) return false;
    for (int c = span.first; c <= span.last; ++c) {
        if (card[static_cast<std::size_t>(c - 1)] != '*') return false;
    }
    return true;
}

// The largest number a written field holds: a whole number fills an I field; an F field keeps
// one column for its point.
QString LargestValue(std::string_view descriptor) {
    const auto parsed = ParseDescriptor(descriptor, DescriptorUse::Writing);
    if (!parsed) return {};
    const long digits = parsed->letter == 'I' ? parsed->width : parsed->width - 1;
    return QString::number(std::pow(10.0, static_cast<double>(digits)) - 1, 'f', 0);
}

QString Ruler() {
    QString tens(CardViewPanel::kMargin, QLatin1Char(' '));
    QString marks = tens;
    for (int c = 1; c <= kColumns; ++c) {
        tens += c % 10 == 0 ? QChar(QLatin1Char('0' + (c / 10) % 10)) : QChar(QLatin1Char(' '));
        marks += c % 10 == 0 ? QLatin1Char('|') : c % 5 == 0 ? QLatin1Char('+') : QLatin1Char('-');
    }
    return tens + QLatin1Char('\n') + marks + QLatin1Char('\n');
}

QString Styled(const QString& text, unsigned look) {
    if (look == kPlain) return text.toHtmlEscaped();
    QString style;
    if (look & kFactors) style += QStringLiteral("background-color:#c8f0c8;");
    if (look & kCaret) style += QStringLiteral("background-color:#ffe680;font-weight:bold;");
    if (look & kAsterisks) style += QStringLiteral("color:#d00000;font-weight:bold;");
    return QStringLiteral("<span style=\"%1\">%2</span>").arg(style, text.toHtmlEscaped());
}

} // namespace

CardViewPanel::CardViewPanel(QWidget* parent)
    : QWidget(parent), view_(new QTextEdit(this)), field_(new QLabel(this)) {
    setObjectName(QStringLiteral("CardViewPanel"));
    view_->setObjectName(QStringLiteral("txtCards"));
    view_->setReadOnly(true);
    view_->setLineWrapMode(QTextEdit::NoWrap);
    view_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    field_->setObjectName(QStringLiteral("lblCardField"));
    field_->setWordWrap(true);
    field_->setTextFormat(Qt::RichText);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(field_);
    layout->addWidget(view_, 1);
}

// Counting columns is what the view is for: the width shows a whole card.
QSize CardViewPanel::sizeHint() const {
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const int width =
        QFontMetrics(view_->font()).horizontalAdvance(QLatin1Char('0')) * (kMargin + kColumns + 1) +
        2 * view_->frameWidth() + 2 * static_cast<int>(view_->document()->documentMargin()) +
        scrollBar + layout()->contentsMargins().left() + layout()->contentsMargins().right();
    return {width, 11 * QFontMetrics(view_->font()).height()};
}

void CardViewPanel::showRecord(const DeckGrids* grids, const std::string& recordSet, int col,
                               int row) {
    cards_.clear();
    caretCards_.clear();
    const bool record = grids && row >= kTemplateRow && (recordSet != "A" || row == kTemplateRow) &&
                        (recordSet == "B2" || recordSet == "A" ||
                         row < (recordSet == "B1" ? grids->fpCardB1 : grids->fpCardC).maxRows());
    if (!record) {
        view_->clear();
        field_->clear();
        return;
    }
    // A storm shows all its cards; the other records show their own.
    auto [first, last] = recordSet == "B1" ? StormRows(grids->fpCardB1, row) : std::pair{row, row};
    for (int r = first; r <= last; ++r) {
        for (RecordCard& card : RecordCards(*grids, recordSet, r)) {
            caretCards_.push_back(r == row && RecordSetOf(card.card) == recordSet);
            cards_.push_back(std::move(card));
        }
    }
    const Grid& grid = recordSet == "A"    ? grids->fpCardA
                       : recordSet == "B1" ? grids->fpCardB1
                       : recordSet == "B2" ? grids->fpCardB2
                       : recordSet == "C"  ? grids->fpCardC
                                           : grids->fpCardD;
    QString html = QStringLiteral("<pre style=\"margin:0\">") + Ruler().toHtmlEscaped();
    QString described;
    for (std::size_t i = 0; i < cards_.size(); ++i) {
        html += cardHtml(cards_[i], caretCards_[i], recordSet, col);
        if (caretCards_[i] && described.isEmpty())
            described = describeField(cards_[i], recordSet, col, grid.value(col, row));
    }
    html += QStringLiteral("</pre>");
    view_->setHtml(html);
    const QString label = QString::fromLatin1(grid.value(col, kLabelRow)).toHtmlEscaped();
    QString text =
        described.isEmpty() ? label : QStringLiteral("<b>%1</b> %2").arg(label, described);
    if (std::any_of(cards_.begin(), cards_.end(),
                    [](const RecordCard& card) { return card.card == "B1.2"; })) {
        text += QStringLiteral("<br><span style=\"background-color:#c8f0c8\">Columns 65%1%2"
                               "</span> of card B1.2 hold the storm's correction factors.")
                    .arg(kEnDash)
                    .arg(kLastFactorColumn);
    }
    field_->setText(text);
}

QString CardViewPanel::cardHtml(const RecordCard& card, bool caretCard,
                                const std::string& recordSet, int col) const {
    std::array<unsigned, kColumns + 1> looks{};
    const std::string_view set = RecordSetOf(card.card);
    for (int c = 1; c <= kLastGridColumn; ++c) {
        const auto span = DeckSpanOn(card.card, set, c);
        if (!span) continue;
        const bool asterisks = AllAsterisks(card.text, *span);
        const bool caret = caretCard && set == recordSet && c == col;
        for (int k = span->first; k <= span->last && k <= kColumns; ++k)
            looks[static_cast<std::size_t>(k)] |=
                (asterisks ? kAsterisks : 0) | (caret ? kCaret : 0);
    }
    if (card.card == "B1.2") {
        for (int k = kFirstFactorColumn; k <= kLastFactorColumn; ++k)
            looks[static_cast<std::size_t>(k)] |= kFactors;
    }
    QString margin =
        QString::fromLatin1(card.card.data(), static_cast<qsizetype>(card.card.size()));
    margin = margin.leftJustified(kMargin - 1) + (caretCard ? QLatin1Char('>') : QLatin1Char(' '));
    QString html = margin.toHtmlEscaped();
    const QString text =
        QString::fromLatin1(card.text.data(), static_cast<qsizetype>(card.text.size()));
    for (int k = 1; k <= text.size();) {
        const unsigned look = k <= kColumns ? looks[static_cast<std::size_t>(k)] : kPlain;
        int end = k;
        while (end < text.size() && end + 1 <= kColumns &&
               looks[static_cast<std::size_t>(end + 1)] == look)
            ++end;
        html += Styled(text.mid(k - 1, end - k + 1), look);
        k = end + 1;
    }
    return html + QLatin1Char('\n');
}

// "card D, columns 1–5, F5.4", and why a field shows asterisks.
QString CardViewPanel::describeField(const RecordCard& card, const std::string& recordSet, int col,
                                     const std::string& cellText) const {
    const auto span = DeckSpanOn(card.card, RecordSetOf(card.card), col);
    if (!span || RecordSetOf(card.card) != recordSet) return {};
    QString text =
        QStringLiteral("card %1, %2, %3")
            .arg(QString::fromLatin1(card.card.data(), static_cast<qsizetype>(card.card.size())),
                 Columns(*span),
                 QString::fromLatin1(span->descriptor.data(),
                                     static_cast<qsizetype>(span->descriptor.size())));
    if (AllAsterisks(card.text, *span)) {
        const QString why =
            NumericValue(cellText)
                ? QStringLiteral("the largest value %1 holds is %2")
                      .arg(QString::fromLatin1(span->descriptor.data(),
                                               static_cast<qsizetype>(span->descriptor.size())),
                           LargestValue(span->descriptor))
                : QStringLiteral("the cell holds no number");
        text += QStringLiteral(" <span style=\"color:#d00000\">written as asterisks: %1</span>")
                    .arg(why);
    }
    return text;
}

QStringList CardViewPanel::shownCards() const {
    QStringList lines = view_->toPlainText().split(QLatin1Char('\n'));
    lines = lines.mid(2); // the ruler
    for (QString& line : lines)
        line = line.mid(kMargin);
    lines.removeAll(QString());
    return lines;
}

} // namespace tovan
