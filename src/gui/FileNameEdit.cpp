#include "gui/FileNameEdit.h"

#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QStyle>
#include <QUrl>

namespace ut::gui {

namespace {

QString DroppedFile(const QMimeData* data) {
    if (!data || !data->hasUrls())
        return QString();
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            return url.toLocalFile();
    return QString();
}

} // namespace

FileNameEdit::FileNameEdit(QWidget* parent) : QLineEdit(parent) {
    FBrowse = addAction(style()->standardIcon(QStyle::SP_DirOpenIcon), TrailingPosition);
    FBrowse->setObjectName(QStringLiteral("BrowseAction"));
    FBrowse->setToolTip(tr("Browse..."));
    connect(FBrowse, &QAction::triggered, this, &FileNameEdit::BrowseRequested);
    setAcceptDrops(true);
}

void FileNameEdit::dragEnterEvent(QDragEnterEvent* event) {
    if (!DroppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
    else
        QLineEdit::dragEnterEvent(event);
}

void FileNameEdit::dragMoveEvent(QDragMoveEvent* event) {
    if (!DroppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
    else
        QLineEdit::dragMoveEvent(event);
}

void FileNameEdit::dropEvent(QDropEvent* event) {
    const QString file = DroppedFile(event->mimeData());
    if (file.isEmpty()) {
        QLineEdit::dropEvent(event);
        return;
    }
    setText(file);
    event->acceptProposedAction();
}

} // namespace ut::gui
