// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/fontfamilies.h"

QStringList fontFamilies(const QString &designed, const QString &equivalent)
{
    return {designed, equivalent};
}
