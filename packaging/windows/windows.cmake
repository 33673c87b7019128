# SPDX-License-Identifier: GPL-3.0-or-later

# The Windows version as Windows users expect it: one folder with the program, the libraries it
# loads and its data, an installer in Catalan made by NSIS, and the same folder as a zip that
# runs from a USB stick. Included from packaging/CMakeLists.txt on a Windows build.

# The icon for the executable's resources, Explorer and the installer, from the same drawings
# as the desktop icons: the 16-pixel one drawn on its own grid, the others scaled.
set(luvana_ico ${CMAKE_CURRENT_BINARY_DIR}/luvana.ico)
add_custom_command(OUTPUT ${luvana_ico}
    COMMAND $<TARGET_FILE:LuvanaHost::luvana_svgrender> --ico ${luvana_ico}
        ${PROJECT_SOURCE_DIR}/assets/artwork/icon-16.svg:16
        ${PROJECT_SOURCE_DIR}/assets/artwork/icon.svg:32
        ${PROJECT_SOURCE_DIR}/assets/artwork/icon.svg:48
        ${PROJECT_SOURCE_DIR}/assets/artwork/icon.svg:256
    DEPENDS ${PROJECT_SOURCE_DIR}/assets/artwork/icon-16.svg
        ${PROJECT_SOURCE_DIR}/assets/artwork/icon.svg
    VERBATIM)
add_custom_target(luvana_icon DEPENDS ${luvana_ico})
add_dependencies(luvana luvana_icon)

# What the program loads, from the cross-built prefix and the MinGW-w64 runtime: Qt's libraries
# and the plugins it opens (the Windows platform, the JPEG and GIF readers, Windows' own look),
# libsndfile, libebur128 and SoundTouch for the sound modules. Qt Multimedia's audio devices
# are part of the library itself; its media plugins play and decode media files, which Luvana
# does not need.
set(windows_prefix $ENV{LUVANA_WINDOWS_PREFIX})
if(NOT windows_prefix)
    message(FATAL_ERROR "LUVANA_WINDOWS_PREFIX names the cross-built libraries")
endif()
set(runtime_libraries)
foreach(name Qt6Core Qt6Gui Qt6Widgets Qt6Network Qt6Multimedia sndfile ebur128 SoundTouch)
    file(GLOB found ${windows_prefix}/bin/${name}.dll ${windows_prefix}/bin/lib${name}.dll
        ${windows_prefix}/bin/lib${name}-*.dll)
    if(NOT found)
        message(FATAL_ERROR "no ${name} library in ${windows_prefix}/bin")
    endif()
    list(APPEND runtime_libraries ${found})
endforeach()
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libstdc++-6.dll
    OUTPUT_VARIABLE libstdcxx OUTPUT_STRIP_TRAILING_WHITESPACE)
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libgcc_s_seh-1.dll
    OUTPUT_VARIABLE libgcc OUTPUT_STRIP_TRAILING_WHITESPACE)
find_file(libwinpthread libwinpthread-1.dll
    PATHS /usr/x86_64-w64-mingw32/lib NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
list(APPEND runtime_libraries ${libstdcxx} ${libgcc} ${libwinpthread})
install(FILES ${runtime_libraries} DESTINATION .)

foreach(plugin platforms/qwindows imageformats/qjpeg imageformats/qgif
        styles/qwindowsvistastyle)
    if(EXISTS ${windows_prefix}/plugins/${plugin}.dll)
        cmake_path(GET plugin PARENT_PATH plugin_folder)
        install(FILES ${windows_prefix}/plugins/${plugin}.dll DESTINATION plugins/${plugin_folder})
    elseif(NOT plugin MATCHES "^styles/")
        message(FATAL_ERROR "no plugin ${plugin} in ${windows_prefix}/plugins")
    endif()
endforeach()

# Qt finds its plugins and the Catalan texts of its dialogs through qt.conf beside the program.
# The translations are the Debian build's: data, the same on every system.
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/qt.conf "[Paths]\nPrefix = .\nPlugins = plugins\nTranslations = translations\n")
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/qt.conf DESTINATION .)
find_file(qtbase_catalan qtbase_ca.qm PATHS /usr/share/qt6/translations
    NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
file(GLOB qt_catalan /usr/share/qt6/translations/qt_ca.qm /usr/share/qt6/translations/qtbase_ca.qm
    /usr/share/qt6/translations/qtmultimedia_ca.qm)
install(FILES ${qt_catalan} DESTINATION translations)

# The user guide with its pictures, and the licence with the DOS line ends Notepad shows.
install(FILES ${PROJECT_SOURCE_DIR}/docs/guia.md DESTINATION guia)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/img DESTINATION guia)
configure_file(${PROJECT_SOURCE_DIR}/LICENSE ${CMAKE_CURRENT_BINARY_DIR}/LICENSE.txt
    NEWLINE_STYLE CRLF)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/LICENSE.txt DESTINATION .)

# The installer speaks Catalan only: CMake's own NSIS template, with Catalan as its one
# language and its few texts of its own put into Catalan.
file(READ ${CMAKE_ROOT}/Modules/Internal/CPack/NSIS.template.in nsis_template)
string(REGEX REPLACE "  !insertmacro MUI_LANGUAGE \"[A-Za-z]+\"[^\n]*\n" "" nsis_template
    "${nsis_template}")
string(REPLACE ";Languages\n" ";Languages\n  !insertmacro MUI_LANGUAGE \"Catalan\"\n" nsis_template
    "${nsis_template}")
foreach(pair
        "is already installed. $\\n$\\nDo you want to uninstall the old version before installing the new one?|ja està instal·lat. $\\n$\\nVoleu desinstal·lar la versió antiga abans d'instal·lar la nova?"
        "Uninstall failed.|No s'ha pogut desinstal·lar."
        "\"Install Options\"|\"Opcions d'instal·lació\""
        "Choose options for installing|Trieu les opcions per instal·lar"
        "Uninstall.lnk|Desinstal·la.lnk")
    string(REPLACE "|" ";" pair "${pair}")
    list(GET pair 0 english)
    list(GET pair 1 catalan)
    string(REPLACE "${english}" "${catalan}" nsis_template "${nsis_template}")
endforeach()
# A 64-bit installer, for a 64-bit program: it runs where only 64-bit Windows programs can, as
# under Debian's wine64. The template starts with a byte-order mark and a comment line, and the
# script is read as UTF-8 for the mark.
string(FIND "${nsis_template}" "\n" first_line_end)
math(EXPR first_line_end "${first_line_end} + 1")
string(SUBSTRING "${nsis_template}" 0 ${first_line_end} first_line)
string(SUBSTRING "${nsis_template}" ${first_line_end} -1 nsis_template)
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/nsis/NSIS.template.in
    "${first_line}Target amd64-unicode\n${nsis_template}")
set(CPACK_MODULE_PATH ${CMAKE_CURRENT_BINARY_DIR}/nsis)

set(CPACK_GENERATOR NSIS ZIP)
set(CPACK_PACKAGE_NAME Luvana)
set(CPACK_PACKAGE_VENDOR "The Luvana developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Dictats i exercicis d'escolta per a primària")
set(CPACK_PACKAGE_FILE_NAME luvana-${PROJECT_VERSION}-windows-x64)
set(CPACK_PACKAGE_INSTALL_DIRECTORY Luvana)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Luvana)
set(CPACK_PACKAGE_EXECUTABLES luvana Luvana)
# The Start-menu entry runs luvana.exe where it is installed, not in a bin\ folder.
set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_CURRENT_BINARY_DIR}/LICENSE.txt)
set(CPACK_STRIP_FILES ON)
set(CPACK_NSIS_PACKAGE_NAME Luvana)
set(CPACK_NSIS_DISPLAY_NAME Luvana)
set(CPACK_NSIS_MUI_ICON ${luvana_ico})
set(CPACK_NSIS_MUI_UNIICON ${luvana_ico})
set(CPACK_NSIS_INSTALLED_ICON_NAME luvana.exe)
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
set(CPACK_NSIS_URL_INFO_ABOUT ${PROJECT_HOMEPAGE_URL})
set(CPACK_NSIS_MANIFEST_DPI_AWARE ON)
# The zip unpacks into one folder named like the installer.
set(CPACK_ARCHIVE_COMPONENT_INSTALL OFF)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
include(CPack)
