// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/filecopy.h"

#include <QFile>

CopyResult copyWithoutReplacing(const QString &source, const QString &target)
{
    QFile existing(target);
    if (!existing.exists())
        return QFile::copy(source, target) ? CopyResult::Copied : CopyResult::Failed;
    // Compared by content, not by path: the same picture saved twice is as good as one.
    QFile original(source);
    if (!existing.open(QIODevice::ReadOnly) || !original.open(QIODevice::ReadOnly))
        return CopyResult::Failed;
    const bool same = existing.size() == original.size()
            && existing.readAll() == original.readAll();
    return same ? CopyResult::AlreadyThere : CopyResult::OtherFileThere;
}
