// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/filetrash.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

TrashResult moveFileToTrash(const QString &path)
{
    const QFileInfo info(path);
    // Only a plain file: a path that names a folder is not a clip, whatever the name says.
    if (path.isEmpty() || !info.exists() || info.isDir())
        return TrashResult::NoFile;
    return moveToSystemTrash(path);
}

TrashResult setAsideAsDiscarded(const QString &path)
{
    const QFileInfo info(path);
    const QString base = info.completeBaseName();
    const QString suffix = info.suffix().isEmpty() ? QString() : u'.' + info.suffix();
    // A folder where a thousand discards of one clip lie already is not worth searching further.
    for (int count = 1; count <= 1000; ++count) {
        const QString mark = count == 1 ? QStringLiteral(" (descartat)")
                                        : QStringLiteral(" (descartat %1)").arg(count);
        const QString target = info.dir().filePath(base + mark + suffix);
        if (QFileInfo::exists(target))
            continue;
        // A rename never replaces a file that appeared meanwhile: it fails instead.
        return QFile::rename(path, target) ? TrashResult::Moved : TrashResult::Failed;
    }
    return TrashResult::Failed;
}
