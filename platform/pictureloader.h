// Item-1 pictures: JPEG and GIF (first frame) read through Qt's image readers, with Qt's
// allocation limit in force, so a huge or broken picture fails like a missing one.
#pragma once

#include <QImage>
#include <QString>

#include <optional>

// Relative names resolve against the current directory, which the file dialog has just set.
std::optional<QImage> loadPicture(const QString &fileName);
