# SPDX-License-Identifier: GPL-3.0-or-later

# 64-bit Windows from Debian: MinGW-w64 with POSIX threads, which Qt's threading needs.
# LUVANA_WINDOWS_PREFIX is where the cross-built dependencies were installed.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triple}-g++-posix)
set(CMAKE_RC_COMPILER ${triple}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${triple})
if(DEFINED ENV{LUVANA_WINDOWS_PREFIX})
    list(PREPEND CMAKE_FIND_ROOT_PATH $ENV{LUVANA_WINDOWS_PREFIX})
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config must look at the Windows libraries only, never at the host's.
if(DEFINED ENV{LUVANA_WINDOWS_PREFIX})
    set(ENV{PKG_CONFIG_LIBDIR} "$ENV{LUVANA_WINDOWS_PREFIX}/lib/pkgconfig")
    set(ENV{PKG_CONFIG_SYSROOT_DIR} "")
endif()
