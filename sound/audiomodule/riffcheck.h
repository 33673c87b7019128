// SPDX-License-Identifier: GPL-3.0-or-later

// A check made before a WAV file reaches libsndfile, for damage that would hang it.
//
// libsndfile (1.2) reads the entries of a LIST or INFO chunk keeping count of the bytes read
// in an unsigned 32-bit total. An entry that declares almost 4 GiB wraps that total round, the
// chunk never seems to end, and sf_open() does not return. No writer makes such an entry (it
// is larger than a WAV file can be), but a damaged or hostile file can hold one, and a pupil
// who clicks its item must not freeze the program.
#pragma once

#include <QByteArrayView>

// True when the bytes are a RIFF, RIFX or RF64 WAVE file with a LIST or INFO chunk that
// libsndfile would read past 4 GiB, or with more such chunks than a clip ever has (each one
// costs a walk through the rest of the file, and a file made of them would take minutes).
bool mightHangDecoder(QByteArrayView bytes);
