// SPDX-License-Identifier: GPL-3.0-or-later

#include "sound/recordingsupport.h"

QString recordingUnavailableReason()
{
    return {};
}
