# The engine's layering, enforced by the build.
#
# zv_engine_layer(<folder> [USES <folder>...]) builds common/<folder> as the static library
# tw_<folder>. Its sources compile against a view of common/ (build/layers/<folder>) that holds
# only the headers at the top of common/, its own folder, the folders it uses and what those
# use in turn; an include of any other engine folder, or of the game, fails to build. The
# library links the libraries of the folders it uses, and nothing else.
#
# Folders must be declared after the folders they use.
function(zv_engine_layer folder)
    cmake_parse_arguments(ARG "" "" "USES" ${ARGN})
    set(visible ${folder})
    foreach(used IN LISTS ARG_USES)
        if(NOT TARGET tw_${used})
            message(FATAL_ERROR "engine layer '${folder}' uses '${used}', which is not declared before it")
        endif()
        get_property(usedVisible GLOBAL PROPERTY ZV_LAYER_VISIBLE_${used})
        list(APPEND visible ${used} ${usedVisible})
    endforeach()
    list(REMOVE_DUPLICATES visible)
    set_property(GLOBAL PROPERTY ZV_LAYER_VISIBLE_${folder} ${visible})

    set(view ${CMAKE_BINARY_DIR}/layers/${folder})
    file(REMOVE_RECURSE ${view})
    file(MAKE_DIRECTORY ${view})
    foreach(dir IN LISTS visible)
        file(CREATE_LINK ${PROJECT_SOURCE_DIR}/common/${dir} ${view}/${dir} SYMBOLIC)
    endforeach()
    file(GLOB topHeaders CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/common/*.h)
    foreach(header IN LISTS topHeaders)
        get_filename_component(name ${header} NAME)
        file(CREATE_LINK ${header} ${view}/${name} SYMBOLIC)
    endforeach()

    zv_collect_sources(sources common/${folder})
    add_library(tw_${folder} STATIC ${sources})
    target_include_directories(tw_${folder} PRIVATE ${view})
    foreach(used IN LISTS ARG_USES)
        target_link_libraries(tw_${folder} PUBLIC tw_${used})
    endforeach()
    zv_warnings(tw_${folder})
endfunction()

# zv_use_engine_layer(<target> <folder>) lets a target outside the engine (a tool) use one
# engine folder and what that folder uses, through the same view, and nothing more.
function(zv_use_engine_layer target folder)
    target_include_directories(${target} PRIVATE ${CMAKE_BINARY_DIR}/layers/${folder})
    target_link_libraries(${target} PRIVATE tw_${folder})
endfunction()
