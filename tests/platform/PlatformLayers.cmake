# Checks, on the configured build tree, that the platform's folders stay apart:
#  - the pack tool and the engine code it is built from (data, platform/os) read no header of
#    SDL, SDL_mixer, pixman or Vorbis, and the pack tool needs none of their libraries;
#  - the software compositor reads no header of SDL;
#  - a layer's view refuses the headers of folders it may not use;
#  - each game folder reaches only the game folders and the engine view it may use.
# Run by ctest as: cmake -DBUILD_DIR=<build> -DCXX=<compiler>
#                  -DREADELF=<readelf> -P PlatformLayers.cmake
cmake_minimum_required(VERSION 3.25)

set(faults "")
macro(fault text)
    list(APPEND faults "${text}")
endmacro()

# A compile_commands.json command without its source, its object and -c: the compiler and the
# flags that source is compiled with.
function(flags_of command file out)
    separate_arguments(args UNIX_COMMAND "${command}")
    set(kept "")
    set(skip FALSE)
    foreach(arg IN LISTS args)
        if(skip)
            set(skip FALSE)
        elseif(arg STREQUAL "-o")
            set(skip TRUE)
        elseif(NOT arg STREQUAL "-c" AND NOT arg STREQUAL file)
            list(APPEND kept "${arg}")
        endif()
    endforeach()
    set(${out} "${kept}" PARENT_SCOPE)
endfunction()

# The headers one compile reads, from its compile_commands.json line: the same command asked
# for its dependencies instead of an object.
function(headers_of command file out)
    flags_of("${command}" "${file}" kept)
    execute_process(COMMAND ${kept} -M ${file} RESULT_VARIABLE rc OUTPUT_VARIABLE deps
                    ERROR_VARIABLE err)
    if(NOT rc EQUAL 0)
        set(${out} "FAILED: ${err}" PARENT_SCOPE)
    else()
        set(${out} "${deps}" PARENT_SCOPE)
    endif()
endfunction()

# 1. What the pack tool is compiled from.
file(READ ${BUILD_DIR}/compile_commands.json db)
string(JSON count LENGTH "${db}")
math(EXPR last "${count} - 1")
set(checked 0)
foreach(i RANGE ${last})
    string(JSON file GET "${db}" ${i} file)
    if(file MATCHES "/(common/data|common/platform/os|tools/twpack)/[^/]+\\.cpp$")
        set(refused "(SDL2/|SDL_mixer|pixman|vorbis/)")
        set(refusedFolders "(SDL2|pixman-1)")
    elseif(file MATCHES "/common/platform/compositor/[^/]+\\.cpp$")
        set(refused "(SDL2/|SDL_mixer)")
        set(refusedFolders "(SDL2)")
    else()
        continue()
    endif()
    string(JSON command GET "${db}" ${i} command)
    headers_of("${command}" "${file}" deps)
    if(deps MATCHES "^FAILED")
        fault("${file}: its headers could not be listed: ${deps}")
    elseif(deps MATCHES "${refused}")
        fault("${file} reads a header of ${CMAKE_MATCH_1}")
    endif()
    if(command MATCHES "${refusedFolders}")
        fault("${file} is compiled with the include folder of ${CMAKE_MATCH_1}")
    endif()
    math(EXPR checked "${checked} + 1")
endforeach()
if(checked LESS 10)
    fault("only ${checked} sources of data, platform/os, the compositor and twpack found in compile_commands.json")
endif()

# 2. The libraries the pack tool needs at run time.
execute_process(COMMAND ${READELF} -d ${BUILD_DIR}/twpack RESULT_VARIABLE rc OUTPUT_VARIABLE dynamic)
if(NOT rc EQUAL 0)
    fault("readelf could not read ${BUILD_DIR}/twpack")
elseif(dynamic MATCHES "NEEDED[^\n]*(SDL|pixman|vorbis|ogg|FLAC|turbojpeg|webp)")
    fault("twpack needs the library ${CMAKE_MATCH_1}")
endif()

# 3. Each view lets its layer reach only the folders it may use.
# True in `out` when a file holding only `#include "header"` compiles with the compiler and
# flags in the list `command`.
function(probe_compiles command header out)
    file(WRITE ${BUILD_DIR}/layer-check/probe.cpp "#include \"${header}\"\n")
    execute_process(COMMAND ${command} -fsyntax-only ${BUILD_DIR}/layer-check/probe.cpp
                    RESULT_VARIABLE rc OUTPUT_QUIET ERROR_QUIET)
    if(rc EQUAL 0)
        set(${out} TRUE PARENT_SCOPE)
    else()
        set(${out} FALSE PARENT_SCOPE)
    endif()
endfunction()

# Checks one line of a case table: `what` compiled with `command` reaches `allowed` and none
# of `refused` (between commas).
macro(check_reach what command allowed refused)
    probe_compiles("${command}" ${allowed} ok)
    if(NOT ok)
        fault("${what} cannot include ${allowed}, which it may use")
    endif()
    string(REPLACE "," ";" refusedList "${refused}")
    foreach(header IN LISTS refusedList)
        probe_compiles("${command}" ${header} ok)
        if(ok)
            fault("${what} can include ${header}, which it may not use")
        endif()
    endforeach()
endmacro()

# view|a header it may include|headers it may not, between commas
set(cases
    "tw_os|platform/os/TwUserFiles.h|platform/picture/TwPicture.h,data/TwDefFile.h"
    "tw_data|platform/os/TwUserFiles.h|platform/picture/TwPicture.h,platform/window/TwVideo.h,platform/mixer/TwMixer.h"
    "tw_compositor|platform/compositor/TwSoftwareScale.h|platform/window/TwVideo.h,platform/os/TwClock.h"
    "tw_mixer|platform/mixer/TwMixer.h|platform/window/TwVideo.h,platform/os/TwClock.h"
    "tw_input|platform/window/TwWindowInput.h|platform/mixer/TwMixer.h,gfx/TwImage.h"
    "tw_audio|platform/mixer/TwMixer.h|platform/input/TwEvents.h,platform/window/TwVideo.h")
foreach(case IN LISTS cases)
    string(REPLACE "|" ";" parts "${case}")
    list(GET parts 0 view)
    list(GET parts 1 allowed)
    list(GET parts 2 refused)
    check_reach(${view} "${CXX};-std=c++20;-I${BUILD_DIR}/layers/${view}" ${allowed} "${refused}")
endforeach()

# 4. Each game folder compiles against only the game folders and the engine view it may use:
# a probe compiled with the flags of one of its sources reaches what it may and no more.
# folder|a header it may include|headers it may not, between commas
set(gameCases
    "rules|GameSession.h|gui/TwPanel.h,audio/TwSoundManager.h,records/TwTop.h,SaveSlot.h,Game.h"
    "saves|records/TwTop.h|gui/TwPanel.h,app/TwBaseApplication.h,Game.h,MenuGui.h"
    "play|gui/TwPanel.h|MenuGui.h,GameApplication.h"
    "menus|Game.h|GameApplication.h")
foreach(case IN LISTS gameCases)
    string(REPLACE "|" ";" parts "${case}")
    list(GET parts 0 folder)
    list(GET parts 1 allowed)
    list(GET parts 2 refused)
    set(command "")
    foreach(i RANGE ${last})
        string(JSON file GET "${db}" ${i} file)
        if(file MATCHES "/game/${folder}/[^/]+\\.cpp$")
            string(JSON command GET "${db}" ${i} command)
            break()
        endif()
    endforeach()
    if(command STREQUAL "")
        fault("no source of game/${folder} in compile_commands.json")
        continue()
    endif()
    flags_of("${command}" "${file}" flags)
    check_reach(game/${folder} "${flags}" ${allowed} "${refused}")
endforeach()

if(faults)
    list(JOIN faults "\n  " text)
    message(FATAL_ERROR "The platform's layering is broken:\n  ${text}")
endif()
list(LENGTH cases views)
list(LENGTH gameCases games)
message(STATUS "Checked ${checked} compiles of the pack tool's code and the compositor, ${views} layer views and ${games} game folders")
