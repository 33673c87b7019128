# SPDX-License-Identifier: GPL-3.0-or-later

# Run at install time (windows.cmake's install(CODE) sets the variables below), after the
# program, its sound modules and Qt's plugins are installed: puts beside luvana.exe exactly the
# libraries that those import, found by reading their import tables, strips every shipped
# library, copies each one's licence into llicencies/ with a text that lists them and where their
# sources are, and gives every file the commit's time, so that the installer and the zip come
# out the same from the same commit.
#
#   luvana_prefix          the cross-built libraries (LUVANA_WINDOWS_PREFIX)
#   luvana_search_dirs     where the libraries are looked for: the prefix's bin/ and the
#                          MinGW-w64 runtime's folders
#   luvana_modules         what the program opens at run time, relative to the install folder
#   luvana_objdump, luvana_strip
#   luvana_licence_table   packaging/windows/licences.txt
#   luvana_work            a folder of the build tree for this step's own files
#   luvana_version, luvana_commit

cmake_policy(VERSION 3.25)
set(dest "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")

# CMake 3.25 looks up the imported names in lower case, which on this system's file names only
# finds the lower-case ones: a folder of lower-case links to the candidates stands in for the
# search folders, and each found link leads back to the file under its own name.
set(links "${luvana_work}/dll-links")
file(REMOVE_RECURSE "${links}")
file(MAKE_DIRECTORY "${links}")
foreach(dir IN LISTS luvana_search_dirs)
    file(GLOB candidates "${dir}/*.dll")
    foreach(candidate IN LISTS candidates)
        cmake_path(GET candidate FILENAME name)
        string(TOLOWER "${name}" lower)
        if(NOT EXISTS "${links}/${lower}")
            file(CREATE_LINK "${candidate}" "${links}/${lower}" SYMBOLIC)
        endif()
    endforeach()
endforeach()

set(modules)
foreach(module IN LISTS luvana_modules)
    list(APPEND modules "${dest}/${module}")
endforeach()
set(CMAKE_GET_RUNTIME_DEPENDENCIES_PLATFORM windows+pe)
set(CMAKE_GET_RUNTIME_DEPENDENCIES_TOOL objdump)
set(CMAKE_GET_RUNTIME_DEPENDENCIES_COMMAND "${luvana_objdump}")
file(GET_RUNTIME_DEPENDENCIES
    EXECUTABLES "${dest}/luvana.exe"
    MODULES ${modules}
    DIRECTORIES "${links}"
    RESOLVED_DEPENDENCIES_VAR resolved
    UNRESOLVED_DEPENDENCIES_VAR unresolved)
# What is not found is Windows' own (kernel32, user32, the api-ms-win-* sets...): a library
# of ours or of the MinGW-w64 runtime that is not found would make a program that does not start.
foreach(name IN LISTS unresolved)
    if(name MATCHES "^(lib|qt6|luvana)")
        message(FATAL_ERROR "${name}, which the program loads, is in none of ${luvana_search_dirs}")
    endif()
endforeach()

# The licence table: "<dll> <Debian source package> <licence>" per line.
file(STRINGS "${luvana_licence_table}" table_lines REGEX "^[^#]")
set(shipped)
foreach(link IN LISTS resolved)
    file(REAL_PATH "${link}" library)
    file(INSTALL "${library}" DESTINATION "${dest}")
    cmake_path(GET library FILENAME name)
    list(APPEND shipped "${name}")
endforeach()
foreach(module IN LISTS luvana_modules)
    cmake_path(GET module FILENAME name)
    list(APPEND shipped "${name}")
endforeach()
list(SORT shipped CASE INSENSITIVE)

# Strip what ships: libstdc++ alone is four fifths debug sections. The program and its modules
# are stripped too, whatever install(TARGETS) did.
file(GLOB_RECURSE binaries "${dest}/*.dll" "${dest}/*.exe")
foreach(binary IN LISTS binaries)
    execute_process(COMMAND "${luvana_strip}" --strip-unneeded "${binary}" COMMAND_ERROR_IS_FATAL ANY)
endforeach()

# Every shipped library's licence, by its source package; one without a row stops the build.
file(REMOVE_RECURSE "${dest}/llicencies")
if(NOT EXISTS "${luvana_prefix}/share/licences/versions.txt")
    message(FATAL_ERROR "no licences in ${luvana_prefix}/share/licences: "
        "run packaging/windows/collect-licences.sh")
endif()
file(STRINGS "${luvana_prefix}/share/licences/versions.txt" version_lines)
set(listing "")
set(packages)
foreach(name IN LISTS shipped)
    set(row)
    foreach(line IN LISTS table_lines)
        string(REGEX MATCH "^([^ \t]+)[ \t]+([^ \t]+)[ \t]+(.+)$" match "${line}")
        if(match AND CMAKE_MATCH_1 STREQUAL name)
            set(row "${CMAKE_MATCH_2};${CMAKE_MATCH_3}")
        endif()
    endforeach()
    if(NOT row)
        message(FATAL_ERROR "${name} ships without a row in ${luvana_licence_table}: add its "
            "Debian source package and licence there")
    endif()
    list(GET row 0 package)
    list(GET row 1 licence)
    if(package STREQUAL "luvana")
        string(APPEND listing "${name}\tLuvana ${luvana_version}\t${licence}\tLICENSE.txt\r\n")
        continue()
    endif()
    set(version)
    foreach(line IN LISTS version_lines)
        if(line MATCHES "^${package} (.+)$")
            set(version "${CMAKE_MATCH_1}")
        endif()
    endforeach()
    if(NOT version OR NOT EXISTS "${luvana_prefix}/share/licences/${package}/copyright")
        message(FATAL_ERROR "no licence of ${package} in ${luvana_prefix}/share/licences: "
            "run packaging/windows/collect-licences.sh")
    endif()
    string(APPEND listing "${name}\t${package} ${version}\t${licence}\tllicencies\\${package}\\\r\n")
    if(NOT package IN_LIST packages)
        list(APPEND packages "${package}")
        file(COPY "${luvana_prefix}/share/licences/${package}" DESTINATION "${dest}/llicencies")
    endif()
endforeach()
file(COPY "${luvana_prefix}/share/licences/common-licenses" DESTINATION "${dest}/llicencies")

set(sources "")
foreach(package IN LISTS packages)
    foreach(line IN LISTS version_lines)
        if(line MATCHES "^${package} (.+)$")
            string(APPEND sources "  ${package} ${CMAKE_MATCH_1}: "
                "https://snapshot.debian.org/package/${package}/${CMAKE_MATCH_1}/\r\n")
        endif()
    endforeach()
endforeach()
file(WRITE "${dest}/llicencies/LLEGIU-ME.txt"
    "Llicències de Luvana ${luvana_version} per a Windows\r\n\r\n"
    "Luvana és programari lliure sota la Llicència Pública General de GNU, versió 3 o\r\n"
    "posterior (LICENSE.txt, a la carpeta del programa). Les biblioteques que l'acompanyen\r\n"
    "tenen les llicències següents; la carpeta de cada paquet en conté el fitxer copyright de\r\n"
    "Debian i els textos de la llicència, i common-licenses\\ els textos que aquells fitxers\r\n"
    "només citen (/usr/share/common-licenses/...).\r\n\r\n"
    "Fitxer\tPaquet font de Debian i versió\tLlicència\tOn és\r\n"
    "${listing}\r\n"
    "Codi font\r\n\r\n"
    "Cada biblioteca s'ha compilat sense canvis a partir del paquet font de Debian de la versió\r\n"
    "indicada, que l'arxiu de Debian conserva:\r\n\r\n"
    "${sources}\r\n"
    "El codi font de Luvana és el de la revisió ${luvana_commit}; qui us ha donat aquest\r\n"
    "programa us n'ha de poder donar també el codi font, en els termes de la GPL.\r\n")

# The commit's time on every file and folder: the installer and the zip store them.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
    file(GLOB_RECURSE everything LIST_DIRECTORIES true "${dest}/*")
    execute_process(COMMAND touch -h -d "@$ENV{SOURCE_DATE_EPOCH}" "${dest}" ${everything}
        COMMAND_ERROR_IS_FATAL ANY)
endif()
