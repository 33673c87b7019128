// SPDX-License-Identifier: GPL-3.0-or-later

// Item-1 pictures: JPEG and GIF (first frame) read through Qt's image readers, with Qt's
// allocation limit in force, so a broken picture, or a huge one that cannot be decoded at the
// size shown, fails like a missing one.
#pragma once

#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>

#include <optional>

// Relative names resolve against the current directory, which the file dialog has just set.
// The picture comes back upright, turned as the camera recorded it was held. Given the device
// pixels of the box it is shown in, a picture at least twice the size of its place in the box
// (pictureArea) is decoded at that size, so a phone photo never lies in memory at the size it
// was taken at: JPEG decodes straight at a fraction of its size, which is how a photo of 108
// megapixels shows at all. A smaller picture keeps its own size.
std::optional<QImage> loadPicture(const QString &fileName, const QSize &shownPixels = QSize());

// Where a picture goes in a box. A picture drawn for the box, whose shape (width to height) is
// within 5 % of the box's, fills it exactly; any other keeps its proportions, as large as fits
// and centred, so that a portrait photo is not squashed into a landscape box.
QRect pictureArea(const QSize &picture, const QRect &box);
