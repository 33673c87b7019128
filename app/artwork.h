// SPDX-License-Identifier: GPL-3.0-or-later

// The window's pictures are SVG drawings in the resources, rendered on first use at the
// screen's pixel ratio and kept, so start-up pays only for what is visible. What the first
// frame shows comes ready as pixels from the build, at the usual ratios (artworklist.h).
#pragma once

#include <QPixmap>
#include <QSize>
#include <QString>

QPixmap artwork(const QString &name, QSize logicalSize, qreal devicePixelRatio);
QString artworkPath(const QString &name);

// The size each picture is drawn at, in pixels at 96 dots per inch.
QSize pictureSize(const QString &name);
