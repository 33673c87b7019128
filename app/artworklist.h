// SPDX-License-Identifier: GPL-3.0-or-later

// The window's pictures and the size each is drawn at, in pixels at 96 dots per inch.
//
// Those painted in the window's first frame are also turned into pixels during the build, at
// the pixel ratios most screens have, so that starting the program reads and draws no SVG.
#pragma once

struct ArtworkPicture
{
    const char16_t *name;
    int width;
    int height;
    bool inFirstFrame;
};

inline constexpr ArtworkPicture kArtworkPictures[] = {
        {u"icon.svg", 32, 32, true},       {u"icon-16.svg", 16, 16, true},
        {u"comencar.svg", 130, 38, false}, {u"feedback.svg", 695, 295, false},
        {u"speaker.svg", 18, 18, true},    {u"dib.svg", 32, 32, false},
        {u"command1.svg", 29, 33, true},   {u"command1-down.svg", 28, 32, false},
        {u"command2.svg", 28, 32, true},   {u"command2-down.svg", 29, 33, false},
        {u"turtle.svg", 28, 28, true},
};

inline constexpr int kBakedRatios[] = {1, 2};
