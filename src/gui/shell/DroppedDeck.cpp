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

// The local files of the drop whose names end in .tvi (any case), in the drop's order.
QStringList DroppedDecks(const QMimeData* data) {
    QStringList decks;
    if (data == nullptr || !data->hasUrls()) return decks;
    for (const QUrl& url : data->urls()) {
        const QString path = url.toLocalFile();
        if (!path.isEmpty() &&
            QFileInfo(path).suffix().compare(QStringLiteral("tvi"), Qt::CaseInsensitive) == 0)
            decks << path;
    }
    return decks;
}

} // namespace

void MDIfrmTovan2000::dragEnterEvent(QDragEnterEvent* event) {
    if (DroppedDecks(event->mimeData()).isEmpty()) return event->ignore();
    event->acceptProposedAction();
}

// One deck is edited at a time: of several dropped, the first opens and the status bar says
// which were left.
void MDIfrmTovan2000::dropEvent(QDropEvent* event) {
    const QStringList decks = DroppedDecks(event->mimeData());
    if (decks.isEmpty()) return event->ignore();
    event->acceptProposedAction();
    openDeck(QFileInfo(decks.front()).absoluteFilePath().toStdString());
    if (decks.size() > 1) {
        QStringList left;
        for (qsizetype i = 1; i < decks.size(); ++i)
            left << QFileInfo(decks[i]).fileName();
        showStatus(tr("%1 decks were dropped; %2 is open, one deck is edited at a time (not "
                      "opened: %3)")
                       .arg(decks.size())
                       .arg(QFileInfo(decks.front()).fileName(), left.join(QStringLiteral(", ")))
                       .toStdString());
    }
}

} // namespace tovan
