# Fails when a source file includes with a path that climbs out of its folder
# ("../battle/tick.h"): such an include would reach past the layers' include
# roots. Used at configure time on every layer, and as a script by the tests:
#   cmake -DFILES="a.cpp;b.h" -P cmake/no_climbing_includes.cmake
function(quenmar_no_climbing_includes)
    foreach(file ${ARGN})
        file(STRINGS ${file} climbing REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<][^\">]*\\.\\./")
        if(climbing)
            list(GET climbing 0 first)
            message(FATAL_ERROR "${file}: an include climbs out of its folder: ${first}")
        endif()
    endforeach()
endfunction()

if(CMAKE_SCRIPT_MODE_FILE)
    quenmar_no_climbing_includes(${FILES})
endif()
