# SPDX-License-Identifier: GPL-3.0-or-later

# Every target of the project gets the same warnings; CI turns them into errors.
function(luvana_set_warnings target)
    if(MSVC)
        target_compile_options(${target} PRIVATE /W4)
        if(LUVANA_WERROR)
            target_compile_options(${target} PRIVATE /WX)
        endif()
    else()
        target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow
            -Wnon-virtual-dtor -Woverloaded-virtual)
        if(LUVANA_WERROR)
            target_compile_options(${target} PRIVATE -Werror)
        endif()
        # Qt's test macros (QSKIP, QTEST_APPLESS_MAIN) leave a macro's "..." empty, which the
        # clang of Emscripten calls a GNU extension under -Wpedantic.
        if(EMSCRIPTEN)
            target_compile_options(${target} PRIVATE -Wno-gnu-zero-variadic-macro-arguments)
        endif()
    endif()
    # Bytes from files never turn into text behind our back: every file goes through the codec.
    target_compile_definitions(${target} PRIVATE QT_NO_CAST_FROM_BYTEARRAY
        QT_NO_URL_CAST_FROM_STRING QT_NO_FOREACH)
endfunction()
