// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/pathseparators.h"

QStringView pathSeparators()
{
    return u"/";
}
