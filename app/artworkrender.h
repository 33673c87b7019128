// SPDX-License-Identifier: GPL-3.0-or-later

// Draws one SVG drawing into an image of the given pixel size. The build's baked pictures and
// the window's own drawing both come from here, so that the two are the same to the pixel.
// Where Qt SVG is not built, it reduces the picture the build rendered of the drawing.
#pragma once

#include <QImage>
#include <QSize>
#include <QString>

QImage renderSvg(const QString &path, QSize pixelSize);
