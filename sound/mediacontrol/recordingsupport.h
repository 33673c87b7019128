// SPDX-License-Identifier: GPL-3.0-or-later

// Whether this build offers recording at all. The desktop records from whatever microphone the
// sound system finds; the browser version does not record (a teacher records the clips with
// the installed program), and its record button stays disabled and says why.
#pragma once

#include <QString>

// Why recording is not offered, as the record button's tooltip gives it after the button's
// name; empty where it is offered.
QString recordingUnavailableReason();
