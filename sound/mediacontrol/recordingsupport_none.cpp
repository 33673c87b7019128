// SPDX-License-Identifier: GPL-3.0-or-later

#include "sound/mediacontrol/recordingsupport.h"

QString recordingUnavailableReason()
{
    return QStringLiteral("al navegador no es pot enregistrar; enregistra els elements amb el "
                          "programa instal·lat a l'ordinador");
}
