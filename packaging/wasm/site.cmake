# SPDX-License-Identifier: GPL-3.0-or-later

# The browser version as a static web server serves it, in site/ of the build folder: the page
# and its loader as Qt makes them, the program (.js and .wasm), and the sample dictations with
# their clips, pictures and page of texts in dictats/, which luvana.html?dictat=dictats/<name>.dtd
# opens. Included from packaging/CMakeLists.txt in a browser build.
set(site ${PROJECT_BINARY_DIR}/site)
set(program_dir $<TARGET_FILE_DIR:luvana>)
add_custom_target(luvana_site ALL
    COMMAND ${CMAKE_COMMAND} -E make_directory ${site}/dictats
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${program_dir}/luvana.html
        ${program_dir}/luvana.js ${program_dir}/luvana.wasm ${program_dir}/qtloader.js
        ${program_dir}/qtlogo.svg ${site}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${sample_files} ${texts_page} ${site}/dictats
    DEPENDS luvana luvana_data
    COMMENT "Gathering the page, the program and the samples in site/"
    VERBATIM)
