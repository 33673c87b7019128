#include "platform/filetrash.h"

#include <QFile>
#include <QFileInfo>

TrashResult moveFileToTrash(const QString &path)
{
    const QFileInfo info(path);
    // Only a plain file: a path that names a folder is not a clip, whatever the name says.
    if (path.isEmpty() || !info.exists() || info.isDir())
        return TrashResult::NoFile;
    QFile file(path);
    return file.moveToTrash() ? TrashResult::Moved : TrashResult::Failed;
}
