// SPDX-License-Identifier: GPL-3.0-or-later

// The folder separators of the paths the file dialog returns on this system: "/" alone, and on
// Windows "\" as well (pathseparators_windows.cpp, which CMake picks there).
#pragma once

#include <QStringView>

QStringView pathSeparators();
