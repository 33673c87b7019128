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

# What the program loads: the plugins Qt opens by name (the Windows platform, the JPEG and GIF
# readers, Windows' own look) and the sound modules are installed by name; the libraries that
# those and luvana.exe import are then read from their import tables at install time
# (bundle.cmake), so that what ships is what the program loads, no more. Qt Multimedia's audio
# devices are part of the library itself; its media plugins play and decode media files, which
# Luvana does not need.
set(qt_plugins platforms/qwindows imageformats/qjpeg imageformats/qgif styles/qwindowsvistastyle)
set(loaded_modules $<TARGET_FILE_NAME:luvana_audio> $<TARGET_FILE_NAME:luvana_slow>)
foreach(plugin IN LISTS qt_plugins)
    if(EXISTS ${LUVANA_WINDOWS_PREFIX}/plugins/${plugin}.dll)
        cmake_path(GET plugin PARENT_PATH plugin_folder)
        install(FILES ${LUVANA_WINDOWS_PREFIX}/plugins/${plugin}.dll
            DESTINATION plugins/${plugin_folder})
        list(APPEND loaded_modules plugins/${plugin}.dll)
    elseif(NOT plugin MATCHES "^styles/")
        message(FATAL_ERROR "no plugin ${plugin} in ${LUVANA_WINDOWS_PREFIX}/plugins")
    endif()
endforeach()
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libstdc++-6.dll
    OUTPUT_VARIABLE libstdcxx OUTPUT_STRIP_TRAILING_WHITESPACE)
cmake_path(GET libstdcxx PARENT_PATH gcc_runtime_dir)
find_program(LUVANA_MINGW_OBJDUMP x86_64-w64-mingw32-objdump REQUIRED)
find_program(LUVANA_MINGW_STRIP x86_64-w64-mingw32-strip REQUIRED)
execute_process(COMMAND git -C ${PROJECT_SOURCE_DIR} rev-parse HEAD
    OUTPUT_VARIABLE luvana_commit OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
if(NOT luvana_commit)
    set(luvana_commit "de la versió ${PROJECT_VERSION}")
endif()

# Qt finds its plugins and the Catalan texts of its dialogs through qt.conf beside the program.
# The translations are the Debian build's: data, the same on every system.
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/qt.conf "[Paths]\nPrefix = .\nPlugins = plugins\nTranslations = translations\n")
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/qt.conf DESTINATION .)
find_file(qtbase_catalan qtbase_ca.qm PATHS /usr/share/qt6/translations
    NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
file(GLOB qt_catalan /usr/share/qt6/translations/qt_ca.qm /usr/share/qt6/translations/qtbase_ca.qm
    /usr/share/qt6/translations/qtmultimedia_ca.qm)
install(FILES ${qt_catalan} DESTINATION translations)

# The user guide for Windows, as a page with its pictures, and the licence with the DOS line
# ends Notepad shows.
set(guide_html ${CMAKE_CURRENT_BINARY_DIR}/guia/guia.html)
add_custom_command(OUTPUT ${guide_html}
    COMMAND $<TARGET_FILE:LuvanaHost::luvana_guidehtml> --windows
        ${PROJECT_SOURCE_DIR}/docs/guia.md ${guide_html}
    DEPENDS LuvanaHost::luvana_guidehtml ${PROJECT_SOURCE_DIR}/docs/guia.md
    VERBATIM)
add_custom_target(luvana_guide ALL DEPENDS ${guide_html})
install(FILES ${guide_html} DESTINATION guia)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/img DESTINATION guia)
configure_file(${PROJECT_SOURCE_DIR}/LICENSE ${CMAKE_CURRENT_BINARY_DIR}/LICENSE.txt
    NEWLINE_STYLE CRLF)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/LICENSE.txt DESTINATION .)

# Last of the install steps: the libraries, their licences, stripping and the files' times.
install(CODE "
    set(luvana_prefix [[${LUVANA_WINDOWS_PREFIX}]])
    set(luvana_search_dirs [[${LUVANA_WINDOWS_PREFIX}/bin;${gcc_runtime_dir};/usr/x86_64-w64-mingw32/lib]])
    set(luvana_modules [[${loaded_modules}]])
    set(luvana_objdump [[${LUVANA_MINGW_OBJDUMP}]])
    set(luvana_strip [[${LUVANA_MINGW_STRIP}]])
    set(luvana_licence_table [[${CMAKE_CURRENT_SOURCE_DIR}/windows/licences.txt]])
    set(luvana_work [[${CMAKE_CURRENT_BINARY_DIR}/bundle]])
    set(luvana_version [[${PROJECT_VERSION}]])
    set(luvana_commit [[${luvana_commit}]])
    include([[${CMAKE_CURRENT_SOURCE_DIR}/windows/bundle.cmake]])
")

# The installer speaks Catalan only, from our own NSIS script: its texts, its Start-menu
# entries and the uninstall entry an admin reads are ours, whatever CMake's own template does.
# CPack fills in the files it staged and the version.
set(CPACK_MODULE_PATH ${CMAKE_CURRENT_SOURCE_DIR}/windows)
set(CPACK_GENERATOR NSIS ZIP)
set(CPACK_PACKAGE_NAME Luvana)
set(CPACK_PACKAGE_VENDOR "The Luvana developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Dictats i exercicis d'escolta per a primària")
set(CPACK_PACKAGE_FILE_NAME luvana-${PROJECT_VERSION}-windows-x64)
set(CPACK_PACKAGE_INSTALL_DIRECTORY Luvana)
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_CURRENT_BINARY_DIR}/LICENSE.txt)
set(CPACK_NSIS_MUI_ICON ${luvana_ico})
set(CPACK_NSIS_MUI_UNIICON ${luvana_ico})
# The zip unpacks into one folder named like the installer.
set(CPACK_ARCHIVE_COMPONENT_INSTALL OFF)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
include(CPack)
