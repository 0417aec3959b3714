#include "editor/CellInput.h"

#include <QLocale>
#include <algorithm>
#include <cmath>

namespace tovan {

namespace {

std::string Latin1(const QString& text) {
    return text.toLatin1().toStdString();
}

std::optional<std::string> AcceptInteger(const CellFormat& format, const QString& text) {
    bool ok = false;
    const qlonglong number = text.toLongLong(&ok);
    if (!ok || number < format.integerMin || number > format.integerMax) return std::nullopt;
    return std::to_string(number);
}

// Shortest text of the number at the cell's decimals: "0.25", "2", "-1.5".
QString FloatText(double number, int decimals) {
    QString text = QString::number(number, 'f', decimals);
    if (text.contains(QLatin1Char('.'))) {
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
        if (text.endsWith(QLatin1Char('.'))) text.chop(1);
    }
    return text == QLatin1String("-0") ? QStringLiteral("0") : text;
}

std::optional<std::string> AcceptFloat(const CellFormat& format, const QString& text) {
    bool ok = false;
    double number = QLocale::c().toDouble(text, &ok);
    if (!ok || !std::isfinite(number)) return std::nullopt;
    const double scale = std::pow(10.0, format.decimals);
    number = std::round(number * scale) / scale;
    if (number < format.floatMin || number > format.floatMax) return std::nullopt;
    return Latin1(FloatText(number, format.decimals));
}

std::optional<std::string> AcceptComboItem(const CellFormat& format, const QString& text) {
    // The item text first: a pasted "002" is the return period, not the item at index 2.
    const auto count = static_cast<long>(format.items.size());
    for (long i = 0; i < count; ++i) {
        if (QString::fromLatin1(format.items[static_cast<std::size_t>(i)]) == text)
            return std::to_string(i);
    }
    bool ok = false;
    const long index = text.toLong(&ok);
    if (ok && index >= 0 && index < count) return std::to_string(index);
    return std::nullopt;
}

// A line break or other control character inside a cell would break its card apart when saved.
bool HasControlCharacter(const QString& text) {
    return std::any_of(text.begin(), text.end(),
                       [](QChar c) { return c.category() == QChar::Other_Control; });
}

} // namespace

std::optional<std::string> AcceptCellText(const CellFormat& format, const QString& text) {
    const QString trimmed = text.trimmed();
    if (format.type == CellType::Button || format.type == CellType::Label) return std::nullopt;
    if (HasControlCharacter(text)) return std::nullopt;
    if (trimmed.isEmpty()) return std::string();
    switch (format.type) {
    case CellType::Integer:
        return AcceptInteger(format, trimmed);
    case CellType::Float:
        return AcceptFloat(format, trimmed);
    case CellType::ComboBox:
        return AcceptComboItem(format, trimmed);
    default:
        break;
    }
    return Latin1(text.left(std::max(format.maxLength, 0)));
}

QString CellDisplayText(const CellFormat& format, const std::string& value) {
    if (format.type == CellType::Button) return QString::fromLatin1(format.caption);
    if (format.type == CellType::ComboBox && !value.empty()) {
        bool ok = false;
        const int index = QString::fromLatin1(value).toInt(&ok);
        if (ok && index >= 0 && index < static_cast<int>(format.items.size()))
            return QString::fromLatin1(format.items[static_cast<std::size_t>(index)]);
    }
    return QString::fromLatin1(value.data(), static_cast<qsizetype>(value.size()));
}

QString CellCopyText(const CellFormat& format, const std::string& value) {
    if (format.type == CellType::Button) return QString();
    return CellDisplayText(format, value);
}

} // namespace tovan
