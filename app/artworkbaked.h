// SPDX-License-Identifier: GPL-3.0-or-later

// The pictures of the window's first frame as pixels, written during the build by
// luvana_artworkbake from the same drawings (premultiplied ARGB, one 32-bit word a pixel).
#pragma once

#include <QtGlobal>

struct BakedArtwork
{
    const char16_t *name;
    int ratio;
    int width;
    int height;
    const quint32 *pixels;
};

extern const BakedArtwork kBakedArtwork[];
extern const int kBakedArtworkCount;
