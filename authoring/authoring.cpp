// SPDX-License-Identifier: GPL-3.0-or-later

#include "authoring/authoring.h"

namespace authoring {

bool accessCodeMatches(QStringView typed)
{
    return typed == u"kub";
}

PictureName pictureName(QStringView fileName, QStringView separators)
{
    const qsizetype length = fileName.size();
    if (length == 0)
        return {PictureName::Status::EmptyPath, QString()};
    qsizetype start = 0;
    for (qsizetype i = length - 2; i >= 0; --i) {
        if (separators.contains(fileName.at(i))) {
            start = i + 1;
            break;
        }
    }
    if (length - start > kMaxPictureName)
        return {PictureName::Status::TooLong, QString()};
    return {PictureName::Status::Named, fileName.mid(start).toString()};
}

} // namespace authoring
