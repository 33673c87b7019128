#include "listening/clippath.h"

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

} // namespace listening
