# SPDX-License-Identifier: GPL-3.0-or-later

# The Windows build's tests, under Wine: the logic suites, cross-built, with the same tables as
# on Linux; and the installer check (packaging/windows/check-installed.sh), which installs the
# installer, drives the installed program's window and compares what it makes with the Linux
# build's. All carry the label "windows". Included from tests/CMakeLists.txt in a Windows build, whose tests run
# only when asked for (packaging/windows/build.sh --test), never in the default test run.

find_program(LUVANA_WINE wine64 PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH REQUIRED)
set(wine_environment
    "WINEPATH=$ENV{LUVANA_WINDOWS_PREFIX}/bin"
    "WINEDEBUG=-all"
    "WINEDLLOVERRIDES=mscoree,mshtml="
    "WINEPREFIX=${CMAKE_CURRENT_BINARY_DIR}/wineprefix")

foreach(suite tst_codec tst_format tst_dictationfile tst_listening)
    add_executable(${suite} ${suite}.cpp)
    luvana_set_warnings(${suite})
    add_test(NAME ${suite} COMMAND ${LUVANA_WINE} $<TARGET_FILE:${suite}>)
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
    ENVIRONMENT "WINEDEBUG=-all;WINEDLLOVERRIDES=mscoree,mshtml=;LUVANA_WINE=${LUVANA_WINE}")
