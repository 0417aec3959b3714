// A deck file dropped on the main window opens as File > Open > Tovan Files opens it. A deck
// being edited is first closed as File > Close closes it: with its offer to save, and what is
// not saved kept aside.
#include "shell/MDIfrmTovan2000.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMdiArea>
#include <QMimeData>
#include <QUrl>

namespace tovan {

namespace {

// The first local file of the drop whose name ends in .tvi (any case), or empty.
QString DroppedDeck(const QMimeData* data) {
    if (data == nullptr || !data->hasUrls()) return {};
    for (const QUrl& url : data->urls()) {
        const QString path = url.toLocalFile();
        if (!path.isEmpty() &&
            QFileInfo(path).suffix().compare(QStringLiteral("tvi"), Qt::CaseInsensitive) == 0)
            return path;
    }
    return {};
}

} // namespace

void MDIfrmTovan2000::dragEnterEvent(QDragEnterEvent* event) {
    if (DroppedDeck(event->mimeData()).isEmpty()) return event->ignore();
    event->acceptProposedAction();
}

void MDIfrmTovan2000::dropEvent(QDropEvent* event) {
    const QString path = DroppedDeck(event->mimeData());
    if (path.isEmpty()) return event->ignore();
    event->acceptProposedAction();
    openDeck(QFileInfo(path).absoluteFilePath().toStdString());
}

} // namespace tovan
