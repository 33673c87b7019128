// SPDX-License-Identifier: GPL-3.0-or-later

// Where the program finds what it ships beside itself: the sample dictations with their
// clips and pictures, and the page of their texts. Installed, they live under
// share/luvana next to bin/; in a build tree, next to the executable.
#pragma once

#include <QString>

QString samplesFolder();
QString textsPagePath();
