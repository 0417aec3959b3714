#include "editor/CellInput.h"

#include "fileio/Latin1.h"

namespace tovan {

CellEntry AcceptCellText(const CellFormat& format, const QString& text) {
    const auto latin1 = Utf8ToLatin1(text.toStdString());
    if (!latin1) return {std::nullopt, "holds a character the deck cannot hold", false};
    return AcceptEntry(format, *latin1);
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

} // namespace tovan
