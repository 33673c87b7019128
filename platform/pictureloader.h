// SPDX-License-Identifier: GPL-3.0-or-later

// Item-1 pictures: JPEG and GIF (first frame) read through Qt's image readers, with Qt's
// allocation limit in force, so a huge or broken picture fails like a missing one.
#pragma once

#include <QImage>
#include <QSize>
#include <QString>

#include <optional>

// Relative names resolve against the current directory, which the file dialog has just set.
// The picture comes back upright, turned as the camera recorded it was held. Given the device
// pixels it is shown on, it is decoded no larger than those on either axis (the window
// stretches it anyway), so a phone photo never lies in memory at the size it was taken at:
// JPEG decodes straight at a fraction of its size. A smaller picture keeps its own size.
std::optional<QImage> loadPicture(const QString &fileName, const QSize &shownPixels = QSize());
