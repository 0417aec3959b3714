// What the card readers share: reading the next line, the common card-read pattern, writing
// a field into the current grid cell, and the readers' error trap. Internal to fileio.
#pragma once

#include "deck/CardLayouts.h"
#include "fileio/basFileRoutines.h"
#include "fortranio/QVFortranIO.h"

#include <array>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tovan::reading {

// A run-time error met while reading, numbered as the program numbers its errors.
struct ReadError {
    int number;
    std::string description;
};

inline constexpr int kTypeMismatch = 13;
inline constexpr int kPastEndOfFile = 62;
inline constexpr int kFormatError = 380; // a card that cannot be read with its descriptors

inline constexpr std::string_view kUnableToRead =
    "Unable to read the file. Plase check to see if it is valid.";

bool IsBlankLine(std::string_view line);
bool AtEndOfDeck(const ReadingContext& context);

// Reads the next line into CardLine; throws ReadError past the end of the file.
const std::string& ReadNextLine(ReadingContext& context);

// A card type as the readers read it: its descriptors parsed once, and where its values go.
struct CardFormat {
    template <std::size_t N>
    CardFormat(const std::array<CardField, N>& layout, std::string_view set)
        : format(ReadDescriptors(layout)), recordSet(set) {
        for (const CardField& field : layout)
            gridColumns.push_back(field.gridColumn);
    }
    ReadFormat format;
    std::string_view recordSet;
    std::vector<int> gridColumns; // of each value; 0 for a value no cell takes
};

// FortranRead of CardLine with ReplaceNulls applied; throws the format error for a failed card.
// A field that is not a number becomes empty and is told in the reading state's findings, at
// `row` of the card's record set. The fields live in the reading state until the next card.
const FieldList& ReadCardFields(ReadingContext& context, const CardFormat& card, int row);

// Tells in the reading state's findings that value `index` of the card read on `line`, to go
// to `row`, was not taken: `why`, after the field's place.
void NoteUnread(ReadingContext& context, const CardFormat& card, int line, int row,
                std::size_t index, const std::string& why);

// Writes text into the cell at (GridCol, GridRow) of `grid`, then moves GridCol on by one.
void PutCell(ReadingContext& context, Grid& grid, std::string_view text);

// The cell text of a field that is blank when empty or zero. Without a copy where the field
// holds its own text; the view lives until the next card or the next call.
std::string_view BlankIfZero(ReadingContext& context, const FieldValue& value);

// Where reading stopped, for the detail of a reader's message: the line number and its text.
std::string WhereInDeck(const ReadingContext& context);

// The trap every card reader ends in: the message for the error, then ReadFailed.
void ReportReadError(ReadingContext& context, const ReadError& error, std::string_view title);

// Runs a reader body, turning any error it raises into the reader's trap.
template <typename Body>
void Trapped(ReadingContext& context, std::string_view title, Body&& body) {
    try {
        body();
    } catch (const ReadError& error) {
        ReportReadError(context, error, title);
    } catch (const std::exception& error) {
        ReportReadError(context, {0, error.what()}, title);
    }
}

} // namespace tovan::reading
