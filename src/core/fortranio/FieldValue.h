// The value of one field read from a card image.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tovan {

enum class FieldKind {
    Empty,   // an X or empty descriptor, or a numeric field of blanks only
    Null,    // a numeric field whose text is not acceptable: present, but without a valid value
    Text,    // an A field: exactly w characters, blanks kept
    Integer, // an I field
    Single,  // an F or E field written with a decimal point
    Double,  // a D field, or an F/E field without a point (scaled in double precision)
};

struct FieldValue {
    FieldKind kind = FieldKind::Empty;
    // Text: the w characters of the field. Single: the value's shortest text when the reader
    // could tell it from the field's own digits, or empty (a cache for CellText, not part of
    // the value).
    std::string text;
    std::int32_t integer = 0;
    float single = 0.0F;
    double real = 0.0;

    static FieldValue MakeEmpty() { return {}; }
    static FieldValue MakeNull() { return Of(FieldKind::Null); }
    static FieldValue MakeText(std::string t) {
        FieldValue v = Of(FieldKind::Text);
        v.text = std::move(t);
        return v;
    }
    static FieldValue MakeInteger(std::int32_t i) {
        FieldValue v = Of(FieldKind::Integer);
        v.integer = i;
        return v;
    }
    static FieldValue MakeSingle(float f) {
        FieldValue v = Of(FieldKind::Single);
        v.single = f;
        return v;
    }
    static FieldValue MakeDouble(double d) {
        FieldValue v = Of(FieldKind::Double);
        v.real = d;
        return v;
    }

    bool isEmpty() const { return kind == FieldKind::Empty; }
    bool isNull() const { return kind == FieldKind::Null; }
    bool isNumber() const {
        return kind == FieldKind::Integer || kind == FieldKind::Single || kind == FieldKind::Double;
    }
    double number() const; // the numeric value of an Integer, Single or Double; 0 otherwise

    friend bool operator==(const FieldValue& a, const FieldValue& b) {
        return a.kind == b.kind && a.integer == b.integer && a.single == b.single &&
               a.real == b.real && (a.kind != FieldKind::Text || a.text == b.text);
    }

  private:
    static FieldValue Of(FieldKind k) {
        FieldValue v;
        v.kind = k;
        return v;
    }
};

using FieldList = std::vector<FieldValue>;

// The text a grid cell shows for a field value: empty and null give "", text stays as it is,
// numbers are written in their shortest form that reads back to the same value in their own
// precision (a single read from ".25" shows "0.25", never "0.25000000372").
std::string CellText(const FieldValue& value);

// Shortest round-trip decimal text of a number, without exponent for everyday magnitudes.
std::string ShortestText(float value);
std::string ShortestText(double value);

} // namespace tovan
