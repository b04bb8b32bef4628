# The engine's layering, enforced by the build.
#
# zv_engine_layer(<folder> [USES <folder>...]) builds common/<folder> as the static library
# tw_<name>, <name> being the folder's last part (common/data: tw_data, common/platform/os:
# tw_os). Its sources compile against a view of common/ (build/layers/tw_<name>) that holds
# only the headers at the top of common/, its own folder, the folders it uses and what those
# use in turn; an include of any other engine folder, or of the game, fails to build. The
# library links the libraries of the folders it uses, and nothing else.
#
# Folders must be declared after the folders they use.

# The library of an engine folder: tw_ and the folder's last part.
function(zv_layer_target out folder)
    get_filename_component(name ${folder} NAME)
    set(${out} tw_${name} PARENT_SCOPE)
endfunction()

function(zv_engine_layer folder)
    cmake_parse_arguments(ARG "" "" "USES" ${ARGN})
    zv_layer_target(target ${folder})
    if(TARGET ${target})
        message(FATAL_ERROR "engine layer '${folder}' would build ${target}, which exists already")
    endif()
    set(visible ${folder})
    foreach(used IN LISTS ARG_USES)
        zv_layer_target(usedTarget ${used})
        if(NOT TARGET ${usedTarget})
            message(FATAL_ERROR "engine layer '${folder}' uses '${used}', which is not declared before it")
        endif()
        get_property(usedVisible GLOBAL PROPERTY ZV_LAYER_VISIBLE_${usedTarget})
        list(APPEND visible ${used} ${usedVisible})
    endforeach()
    list(REMOVE_DUPLICATES visible)
    set_property(GLOBAL PROPERTY ZV_LAYER_VISIBLE_${target} ${visible})

    set(view ${CMAKE_BINARY_DIR}/layers/${target})
    file(REMOVE_RECURSE ${view})
    file(MAKE_DIRECTORY ${view})
    foreach(dir IN LISTS visible)
        get_filename_component(parent ${view}/${dir} DIRECTORY)
        file(MAKE_DIRECTORY ${parent})
        file(CREATE_LINK ${PROJECT_SOURCE_DIR}/common/${dir} ${view}/${dir} SYMBOLIC)
    endforeach()
    file(GLOB topHeaders CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/common/*.h)
    foreach(header IN LISTS topHeaders)
        get_filename_component(name ${header} NAME)
        file(CREATE_LINK ${header} ${view}/${name} SYMBOLIC)
    endforeach()

    zv_collect_sources(sources common/${folder})
    add_library(${target} STATIC ${sources})
    target_include_directories(${target} PRIVATE ${view})
    foreach(used IN LISTS ARG_USES)
        zv_layer_target(usedTarget ${used})
        target_link_libraries(${target} PUBLIC ${usedTarget})
    endforeach()
    zv_warnings(${target})
endfunction()

# zv_use_engine_layer(<target> <folder>) lets a target outside the engine (a tool) use one
# engine folder and what that folder uses, through the same view, and nothing more.
function(zv_use_engine_layer target folder)
    zv_layer_target(layer ${folder})
    target_include_directories(${target} PRIVATE ${CMAKE_BINARY_DIR}/layers/${layer})
    target_link_libraries(${target} PRIVATE ${layer})
endfunction()

# zv_game_layer(<folder> [USES <game folder>...] ENGINE <engine folder>) builds game/<folder>
# as the static library zv_<folder>. Its sources see their own folder, the game folders it
# uses (and what those use), and the engine through the view of one engine folder: an
# include of a game folder it may not use, or of an engine folder above its view, fails to
# build with "No such file or directory".
function(zv_game_layer folder)
    cmake_parse_arguments(ARG "" "ENGINE" "USES" ${ARGN})
    set(target zv_${folder})
    file(GLOB sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/game/${folder}/*.cpp)
    list(REMOVE_ITEM sources ${PROJECT_SOURCE_DIR}/game/${folder}/main.cpp)
    add_library(${target} STATIC ${sources})
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/game/${folder})
    zv_layer_target(engine ${ARG_ENGINE})
    target_include_directories(${target} PRIVATE ${CMAKE_BINARY_DIR}/layers/${engine})
    target_link_libraries(${target} PUBLIC ${engine})
    foreach(used IN LISTS ARG_USES)
        if(NOT TARGET zv_${used})
            message(FATAL_ERROR "game layer '${folder}' uses '${used}', which is not declared before it")
        endif()
        target_link_libraries(${target} PUBLIC zv_${used})
    endforeach()
    zv_warnings(${target})
endfunction()
