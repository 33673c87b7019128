// SPDX-License-Identifier: GPL-3.0-or-later

#include "listening/clippath.h"

#include "platform/filelookup.h"

namespace listening {

QString safeNameForClip(const QString &nom)
{
    QString safe = nom;
    for (QChar &c : safe) {
        if (c == u'/' || c == u'\\' || c.category() == QChar::Other_Control)
            c = u'_';
    }
    return safe;
}

std::optional<QString> clipPath(const QString &arxiu, const QString &nom, int item)
{
    if (arxiu.size() < 4)
        return std::nullopt;
    return arxiu.chopped(4) + u'-' + safeNameForClip(nom) + QString::number(item)
            + QStringLiteral(".wav");
}

std::optional<QString> clipToPlay(const QString &arxiu, const QString &nom, int item)
{
    const std::optional<QString> named = clipPath(arxiu, nom, item);
    if (!named)
        return std::nullopt;
    if (auto found = findFileIgnoringCase(*named))
        return found;
    if (nom.isEmpty())
        return std::nullopt;
    return findFileIgnoringCase(*clipPath(arxiu, QString(), item));
}

} // namespace listening
