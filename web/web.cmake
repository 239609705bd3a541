# The browser build (make web), with Debian's emscripten: the page, its
# script and style, the game as quenmar.js and quenmar.wasm, the icon, and
# quenmar-sim.js, the headless driver for node.

# quenmar-sim under node, reading and writing real files, in one file that
# fetches nothing.
target_link_options(quenmar-sim PRIVATE -sENVIRONMENT=node -sNODERAWFS=1 -sEXIT_RUNTIME=1
                    -sSINGLE_FILE=1)

add_executable(quenmar_page web/main.cpp)
set_target_properties(quenmar_page PROPERTIES OUTPUT_NAME quenmar)
target_link_libraries(quenmar_page PRIVATE quenmar_record quenmar_web)
target_link_options(quenmar_page PRIVATE -sENVIRONMENT=web -sDYNAMIC_EXECUTION=0
                    -sEXPORTED_RUNTIME_METHODS=cwrap)

foreach(file index.html page.js page.css)
    configure_file(${PROJECT_SOURCE_DIR}/web/${file} ${CMAKE_BINARY_DIR}/${file} COPYONLY)
endforeach()
configure_file(${PROJECT_SOURCE_DIR}/data/icons/hicolor/64x64/quenmar.png
               ${CMAKE_BINARY_DIR}/quenmar.png COPYONLY)
