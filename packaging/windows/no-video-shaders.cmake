# SPDX-License-Identifier: GPL-3.0-or-later

# Given to Qt Multimedia's Windows build as CMAKE_PROJECT_INCLUDE. Luvana uses Qt Multimedia
# for its audio devices only; the video shaders need Qt Shader Tools, one more module and a
# GLSL compiler to build for pictures Luvana never shows. Without this the build stops there.
if(NOT COMMAND qt_internal_add_shaders)
    function(qt_internal_add_shaders)
    endfunction()
endif()
