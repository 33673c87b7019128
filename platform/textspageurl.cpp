// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/textspageurl.h"

#include "platform/datapaths.h"

QUrl textsPageUrl()
{
    return QUrl::fromLocalFile(textsPagePath());
}
