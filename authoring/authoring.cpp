// SPDX-License-Identifier: GPL-3.0-or-later

#include "authoring/authoring.h"

namespace authoring {

namespace {
constexpr qsizetype kMaxPictureName = 100;
}

bool accessCodeMatches(QStringView typed)
{
    return typed == u"kub";
}

QStringView pathSeparators()
{
#ifdef Q_OS_WIN
    return u"\\/";
#else
    return u"/";
#endif
}

std::optional<QString> pictureName(QStringView fileName, QStringView separators)
{
    const qsizetype length = fileName.size();
    if (length == 0)
        return std::nullopt;
    qsizetype start = 0;
    for (qsizetype i = length - 2; i >= 0; --i) {
        if (separators.contains(fileName.at(i))) {
            start = i + 1;
            break;
        }
    }
    return fileName.mid(start, kMaxPictureName).toString();
}

} // namespace authoring
