// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/filelookup.h"

#include <QDirIterator>
#include <QFileInfo>

std::optional<QString> findFileIgnoringCase(const QString &path)
{
    if (path.isEmpty())
        return std::nullopt;
    const QFileInfo exact(path);
    if (exact.isFile())
        return path;
    const QString name = exact.fileName();
    if (name.isEmpty())
        return std::nullopt;

    std::optional<QString> chosen;
    QDirIterator entries(exact.absolutePath(), QDir::Files | QDir::Hidden);
    while (entries.hasNext()) {
        entries.next();
        const QString candidate = entries.fileName();
        // Case folding here maps one UTF-16 unit to one, so a name of another length never
        // matches and is passed over without comparing it.
        if (candidate.size() == name.size() && candidate.compare(name, Qt::CaseInsensitive) == 0
            && (!chosen || candidate < *chosen))
            chosen = candidate;
    }
    if (!chosen)
        return std::nullopt;
    return path.chopped(name.size()) + *chosen;
}
