# The browser build (make web), with Debian's emscripten. What a web server
# serves goes to site/ and nothing else does: the page, its script and style,
# the game as quenmar.js and quenmar.wasm, the icons, the web app manifest and
# the service worker that keeps them for offline play. quenmar-sim.js, the
# headless driver for node, stays beside it.
set(QUENMAR_SITE ${CMAKE_BINARY_DIR}/site)

# quenmar-sim under node, reading and writing real files, in one file that
# fetches nothing.
target_link_options(quenmar-sim PRIVATE -sENVIRONMENT=node -sNODERAWFS=1 -sEXIT_RUNTIME=1
                    -sSINGLE_FILE=1)

add_executable(quenmar_page web/main.cpp)
set_target_properties(quenmar_page PROPERTIES OUTPUT_NAME quenmar RUNTIME_OUTPUT_DIRECTORY ${QUENMAR_SITE})
target_link_libraries(quenmar_page PRIVATE quenmar_match quenmar_web)
# An ES module that the page imports: createGame({ page }) gives the game.
target_link_options(quenmar_page PRIVATE -lembind -sENVIRONMENT=web -sDYNAMIC_EXECUTION=0
                    -sMODULARIZE=1 -sEXPORT_ES6=1 -sEXPORT_NAME=createGame)

set(QUENMAR_PAGE_FILES index.html page.css quenmar.webmanifest page.js field.js input.js
    dialogs.js sound.js sound-worklet.js link.js replay.js storage.js)
set(QUENMAR_PAGE_SOURCES ${QUENMAR_PAGE_FILES})
list(TRANSFORM QUENMAR_PAGE_SOURCES PREPEND ${PROJECT_SOURCE_DIR}/web/)
foreach(file ${QUENMAR_PAGE_FILES})
    configure_file(${PROJECT_SOURCE_DIR}/web/${file} ${QUENMAR_SITE}/${file} COPYONLY)
endforeach()
configure_file(${PROJECT_SOURCE_DIR}/data/icons/hicolor/64x64/quenmar.png ${QUENMAR_SITE}/quenmar.png COPYONLY)

# The installed app's icons, drawn from the game's own.
find_program(RSVG_CONVERT rsvg-convert REQUIRED)
set(icons)
foreach(size 192 512)
    add_custom_command(OUTPUT ${QUENMAR_SITE}/quenmar-${size}.png
        COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} ${PROJECT_SOURCE_DIR}/data/icons/quenmar.svg
                -o ${QUENMAR_SITE}/quenmar-${size}.png
        DEPENDS ${PROJECT_SOURCE_DIR}/data/icons/quenmar.svg VERBATIM)
    list(APPEND icons ${QUENMAR_SITE}/quenmar-${size}.png)
endforeach()

# The service worker names the build's files and a version drawn from their
# contents, so that a new build replaces what a browser kept.
add_custom_command(OUTPUT ${QUENMAR_SITE}/sw.js
    COMMAND ${CMAKE_COMMAND} -DSITE=${QUENMAR_SITE} -DTEMPLATE=${PROJECT_SOURCE_DIR}/web/sw.js
            -P ${PROJECT_SOURCE_DIR}/cmake/service_worker.cmake
    DEPENDS quenmar_page ${icons} ${PROJECT_SOURCE_DIR}/web/sw.js ${PROJECT_SOURCE_DIR}/cmake/service_worker.cmake
            ${QUENMAR_PAGE_SOURCES}
    VERBATIM)
add_custom_target(quenmar_site ALL DEPENDS ${QUENMAR_SITE}/sw.js)
