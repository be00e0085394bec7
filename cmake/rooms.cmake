# The rooms of the program (rooms.txt) as CMake libraries.

# Reads the table: PLOTMASON_ROOMS lists the rooms bottom up, and
# PLOTMASON_ROOM_USES_<room> the rooms each one builds on directly.
macro(plotmason_read_rooms file)
    file(STRINGS ${file} plotmason_room_lines REGEX "^[a-z0-9_]+:")
    set(PLOTMASON_ROOMS)
    foreach(line IN LISTS plotmason_room_lines)
        string(REGEX MATCH "^([a-z0-9_]+):(.*)$" plotmason_match "${line}")
        list(APPEND PLOTMASON_ROOMS ${CMAKE_MATCH_1})
        string(STRIP "${CMAKE_MATCH_2}" PLOTMASON_ROOM_USES_${CMAKE_MATCH_1})
        separate_arguments(PLOTMASON_ROOM_USES_${CMAKE_MATCH_1})
    endforeach()
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${file})
endmacro()

# A folder of the build tree whose only entry is the room (a link to its
# source folder): whoever has it on the include path includes "room/file.h"
# and sees no other room through it, so a header of a room that is not below
# does not compile.
function(plotmason_room_include_dir room out)
    set(dir ${PROJECT_BINARY_DIR}/rooms/${room})
    if(NOT EXISTS ${dir}/${room})
        file(MAKE_DIRECTORY ${dir})
        file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${room} ${dir}/${room} SYMBOLIC)
    endif()
    set(${out} ${dir} PARENT_SCOPE)
endfunction()

# The library of a room; netservice keeps the name it ships under.
function(plotmason_room_target room out)
    if(room STREQUAL "netservice")
        set(${out} netservice PARENT_SCOPE)
    else()
        set(${out} plotmason_${room} PARENT_SCOPE)
    endif()
endfunction()

# Gives a target of the room its own headers and the libraries of the rooms it
# builds on, publicly, so that its users build on them too.
function(plotmason_room_links room target)
    plotmason_room_include_dir(${room} own)
    target_include_directories(${target} PUBLIC ${own})
    foreach(used IN LISTS PLOTMASON_ROOM_USES_${room})
        plotmason_room_target(${used} library)
        target_link_libraries(${target} PUBLIC ${library})
    endforeach()
    target_link_libraries(${target} PRIVATE plotmason_build_flags)
endfunction()

# plotmason_room(<room> [SHARED] SOURCES <files...> [LIBRARIES <outside...>]
#                [PRIVATE_LIBRARIES <outside...>])
# The static (or shared) library of a room. LIBRARIES are outside libraries
# its headers need, PRIVATE_LIBRARIES those only its sources use.
function(plotmason_room room)
    cmake_parse_arguments(ROOM "SHARED" "" "SOURCES;LIBRARIES;PRIVATE_LIBRARIES" ${ARGN})
    plotmason_room_target(${room} target)
    if(ROOM_SHARED)
        add_library(${target} SHARED ${ROOM_SOURCES})
    else()
        add_library(${target} STATIC ${ROOM_SOURCES})
    endif()
    plotmason_room_links(${room} ${target})
    target_link_libraries(${target} PUBLIC ${ROOM_LIBRARIES} PRIVATE ${ROOM_PRIVATE_LIBRARIES})
endfunction()
