#include "fileio/CardReading.h"

#include "fortranio/QVFortranIO.h"

namespace tovan::reading {

bool IsBlankLine(std::string_view line) {
    return line.find_first_not_of(' ') == line.npos;
}

bool AtEndOfDeck(const ReadingContext& context) {
    return !context.state.deck || context.state.deck->atEnd();
}

const std::string& ReadNextLine(ReadingContext& context) {
    if (!context.state.deck || !context.state.deck->readLineInto(context.state.CardLine))
        throw ReadError{kPastEndOfFile, "Input past end of file"};
    ++context.state.linesRead;
    return context.state.CardLine;
}

void NoteUnread(ReadingContext& context, const CardFormat& card, int line, int row,
                std::size_t index, const std::string& why) {
    const auto [first, last] = card.format.columnsOf(index);
    const int column = index < card.gridColumns.size() ? card.gridColumns[index] : 0;
    context.state.unread.push_back(
        {{std::string(card.recordSet), row, column}, line, first, last, why});
}

const FieldList& ReadCardFields(ReadingContext& context, const CardFormat& card, int row) {
    ReadingState& state = context.state;
    FieldList& values = state.fields;
    if (!FortranReadInto(state.CardLine, card.format, values))
        throw ReadError{kFormatError, "Invalid property value"};
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (!values[i].isNull()) continue;
        const auto [first, last] = card.format.columnsOf(i);
        const std::string_view line(state.CardLine);
        const auto from = std::min(line.size(), static_cast<std::size_t>(first - 1));
        const std::string text(line.substr(from, static_cast<std::size_t>(last - first + 1)));
        NoteUnread(context, card, state.linesRead, row, i,
                   "\"" + text + "\" is not a number; the cell is left empty");
    }
    values = ReplaceNulls(std::move(values), FieldValue::MakeEmpty(), FieldValue::MakeEmpty());
    return values;
}

void PutCell(ReadingContext& context, Grid& grid, std::string_view text) {
    grid.setValue(context.state.GridCol, context.state.GridRow, text);
    ++context.state.GridCol;
}

std::string_view BlankIfZero(ReadingContext& context, const FieldValue& value) {
    if (value.isNumber() && value.number() == 0) return {};
    if (value.kind == FieldKind::Text || (value.kind == FieldKind::Single && !value.text.empty()))
        return value.text;
    return context.state.cellText = CellText(value);
}

std::string WhereInDeck(const ReadingContext& context) {
    const ReadingState& state = context.state;
    if (state.linesRead == 0) return {};
    constexpr std::size_t kShown = 80;
    std::string line = state.CardLine.substr(0, kShown);
    if (state.CardLine.size() > kShown) line += "...";
    return "Line " + std::to_string(state.linesRead) + " of the deck: \"" + line + "\"";
}

void ReportReadError(ReadingContext& context, const ReadError& error, std::string_view title) {
    if (error.number == kFormatError || error.number == kTypeMismatch) {
        context.platform.showDetailedMessage(kUnableToRead, WhereInDeck(context),
                                             MessageIcon::Information, title);
    } else {
        context.platform.showDetailedMessage(error.description, WhereInDeck(context),
                                             MessageIcon::Exclamation, title);
    }
    context.state.ReadFailed = true;
}

} // namespace tovan::reading
