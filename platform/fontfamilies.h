// SPDX-License-Identifier: GPL-3.0-or-later

// The families a control asks for, for a font of the design and the free font of the same size
// and feel that the package installs. Where the designed fonts are the system's own (Windows,
// macOS: fontfamilies_designed.cpp, which CMake picks there) they come first and the equivalent
// stands behind them; elsewhere only the equivalent is named, since asking fontconfig for a
// missing family, even as a second choice, costs a search through every installed font at each
// start.
#pragma once

#include <QStringList>

QStringList fontFamilies(const QString &designed, const QString &equivalent);
