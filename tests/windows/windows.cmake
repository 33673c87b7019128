# SPDX-License-Identifier: GPL-3.0-or-later

# The Windows build's tests, under Wine: the logic suites, cross-built, with the same tables as
# on Linux; and the installer check (packaging/windows/check-installed.sh), which installs the
# installer, drives the installed program's window and compares what it makes with the Linux
# build's. All carry the label "windows". Included from tests/CMakeLists.txt in a Windows build, whose tests run
# only when asked for (packaging/windows/build.sh --test), never in the default test run.

find_program(LUVANA_WINE wine64 PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH REQUIRED)
# Where Wine finds the libraries: the cross-built ones and the MinGW-w64 runtime, as Windows
# paths on Wine's drive Z:, which is the root of this system.
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libstdc++-6.dll
    OUTPUT_VARIABLE runtime_dll OUTPUT_STRIP_TRAILING_WHITESPACE)
cmake_path(GET runtime_dll PARENT_PATH runtime_dir)
set(wine_path)
foreach(folder ${LUVANA_WINDOWS_PREFIX}/bin ${runtime_dir} /usr/x86_64-w64-mingw32/lib)
    string(REPLACE "/" "\\" folder "${folder}")
    list(APPEND wine_path "Z:${folder}")
endforeach()
list(JOIN wine_path "\;" wine_path)
set(wine_environment
    "WINEPATH=${wine_path}"
    "WINEDEBUG=-all"
    "WINEDLLOVERRIDES=mscoree,mshtml="
    "WINEPREFIX=${CMAKE_CURRENT_BINARY_DIR}/wineprefix")

foreach(suite tst_codec tst_format tst_dictationfile tst_listening)
    add_executable(${suite} ${suite}.cpp)
    luvana_set_warnings(${suite})
    add_test(NAME ${suite} COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/windows/wine-test.sh
        ${LUVANA_WINE} $<TARGET_FILE:${suite}>)
    set_tests_properties(${suite} PROPERTIES LABELS windows RESOURCE_LOCK wineprefix
        ENVIRONMENT "${wine_environment}")
endforeach()
target_link_libraries(tst_codec PRIVATE Qt6::Test luvana_dictation)
target_link_libraries(tst_format PRIVATE Qt6::Test luvana_dictation)
target_link_libraries(tst_dictationfile PRIVATE Qt6::Test luvana_dictation)
target_link_libraries(tst_listening PRIVATE Qt6::Test luvana_listening)

set(LUVANA_NATIVE_CHECK "" CACHE FILEPATH "tst_installed of a native build, to compare with")
add_test(NAME check_installed
    COMMAND ${LUVANA_XVFB_RUN} -a -s "-screen 0 1280x1024x24 -nolisten tcp"
        bash ${PROJECT_SOURCE_DIR}/packaging/windows/check-installed.sh
        ${PROJECT_BINARY_DIR}/luvana-${PROJECT_VERSION}-windows-x64.exe
        $<TARGET_FILE:tst_installed> ${LUVANA_NATIVE_CHECK}
        ${CMAKE_CURRENT_SOURCE_DIR}/pulse-fixture.sh)
set_tests_properties(check_installed PROPERTIES LABELS windows TIMEOUT 900 RESOURCE_LOCK wineprefix
    ENVIRONMENT "WINEDEBUG=-all;WINEDLLOVERRIDES=mscoree,mshtml=;LUVANA_WINE=${LUVANA_WINE};LUVANA_WINDOWS_PREFIX=${LUVANA_WINDOWS_PREFIX}")
