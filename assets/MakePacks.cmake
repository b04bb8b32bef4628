# Builds the main resource pack from the generated assets and the hand-written text files.
# Run with cmake -P and these variables:
#   TWPACK     the pack tool
#   GENERATED  assetgen's output folder (holds Data/Textures, Data/Sounds, Data/Music)
#   TEXTS      the folder of the hand-written text files (assets/Data)
#   STAGE      a scratch folder for the pack tree
#   OUT        the folder receiving Resource.Twr
#
# Resource.Twr holds everything that is the same in every language, the font strips too (one
# strip holds the letters of every language). What a translation changes (the language texts,
# the font table, the pictures with words) goes into the language packs (MakeLangPack.cmake).
foreach(var TWPACK GENERATED TEXTS STAGE OUT)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "MakePacks.cmake: ${var} is not set")
    endif()
endforeach()

set(resource_root ${STAGE}/Resource)
file(REMOVE_RECURSE ${resource_root})
file(MAKE_DIRECTORY ${resource_root}/Data)

file(COPY ${GENERATED}/Data/ DESTINATION ${resource_root}/Data)
file(COPY ${TEXTS}/Map.Txt ${TEXTS}/EngineDefs.Txt DESTINATION ${resource_root}/Data)
# The Puzzle level sets.
file(COPY ${TEXTS}/Levels DESTINATION ${resource_root}/Data)

file(MAKE_DIRECTORY ${OUT})
execute_process(COMMAND ${TWPACK} create ${OUT}/Resource.Twr ${STAGE}/Resource
                RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "MakePacks.cmake: twpack failed for Resource.Twr")
endif()
