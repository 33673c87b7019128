# SPDX-License-Identifier: GPL-3.0-or-later

# The browser build's tests, all with the label "browser", run by packaging/wasm/build.sh
# --test and never in the default test run: the logic suites built with emcc, run under Node
# with the same tables as on Linux; and the page itself in Debian's headless Chromium
# (check-page.py). Included from tests/CMakeLists.txt in a browser build.

find_program(LUVANA_NODE node NO_CMAKE_FIND_ROOT_PATH REQUIRED)
# Emscripten 3.1.6 loads the .wasm with fetch() wherever there is one, as in Node 18 and later,
# where a file path is no URL.
set(node_command ${LUVANA_NODE})
execute_process(COMMAND ${LUVANA_NODE} --no-experimental-fetch -e 0 RESULT_VARIABLE no_fetch)
if(no_fetch EQUAL 0)
    list(APPEND node_command --no-experimental-fetch)
endif()

foreach(suite tst_codec tst_format tst_dictationfile tst_listening)
    add_executable(${suite} ${suite}.cpp)
    # The program's exit code is the test's result.
    target_link_options(${suite} PRIVATE "SHELL:-s EXIT_RUNTIME=1")
    luvana_set_warnings(${suite})
    add_test(NAME ${suite}
        COMMAND ${node_command} ${CMAKE_CURRENT_SOURCE_DIR}/browser/run-node.js
            $<TARGET_FILE:${suite}>)
    set_tests_properties(${suite} PROPERTIES LABELS browser)
endforeach()
target_link_libraries(tst_codec PRIVATE Qt6::Test luvana_dictation)
target_link_libraries(tst_format PRIVATE Qt6::Test luvana_dictation)
target_link_libraries(tst_dictationfile PRIVATE Qt6::Test luvana_dictation)
target_link_libraries(tst_listening PRIVATE Qt6::Test luvana_listening)

# Debian's Python, which has Debian's websockets, whatever python3 comes first on PATH.
find_program(LUVANA_DEBIAN_PYTHON python3 PATHS /usr/bin NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH
    REQUIRED)
find_program(LUVANA_CHROMIUM chromium NO_CMAKE_FIND_ROOT_PATH REQUIRED)
set(LUVANA_NATIVE_PAGEDRIVER "" CACHE FILEPATH
    "luvana_pagedriver of a native build, whose window the page's is compared with")
add_test(NAME check_page
    COMMAND ${LUVANA_DEBIAN_PYTHON} ${CMAKE_CURRENT_SOURCE_DIR}/browser/check-page.py
        ${LUVANA_CHROMIUM} ${PROJECT_BINARY_DIR}/site $<TARGET_FILE_DIR:luvana_pagedriver>
        ${LUVANA_NATIVE_PAGEDRIVER})
set_tests_properties(check_page PROPERTIES LABELS browser TIMEOUT 300)
