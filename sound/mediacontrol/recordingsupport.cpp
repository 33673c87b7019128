// SPDX-License-Identifier: GPL-3.0-or-later

#include "sound/mediacontrol/recordingsupport.h"

QString recordingUnavailableReason()
{
    return {};
}
