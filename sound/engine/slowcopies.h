// SPDX-License-Identifier: GPL-3.0-or-later

// The slow copies of the clips a pupil has played slow (the slow-speech module,
// sound/slowmodule/slowclip.h), one per clip file, made the first time it is played slow and kept
// in memory for the next plays; they are never written anywhere. A file whose sound has changed
// since (the teacher recorded it again) gets a new copy.
#pragma once

#include "sound/soundsystem.h"

#include <QString>

#include <map>

class SlowCopies
{
public:
    // The slow copy of `clip`, read from `fileName`. Where the module cannot be loaded, the clip
    // itself: the pupil hears it at its own speed rather than not at all.
    const AudioClip &copyOf(const QString &fileName, const AudioClip &clip);

private:
    struct Copy
    {
        size_t sound; // a hash of the clip the copy was made from
        AudioClip slowed;
    };
    SlowClipFunction m_slowClip = nullptr;
    bool m_loaded = false; // loading was tried, whether or not it worked
    std::map<QString, Copy> m_copies;
};
