# Builds the two resource packs from the generated assets and the hand-written text files.
# Run with cmake -P and these variables:
#   TWPACK     the pack tool
#   GENERATED  assetgen's output folder (holds Data/Textures, Data/Sounds, Data/Music)
#   TEXTS      the folder of the hand-written text files (assets/Data)
#   STAGE      a scratch folder for the two pack trees
#   OUT        the folder receiving Resource.Twr and Lang.Twr
#
# Lang.Twr holds what a translation changes together: the language texts, the font table
# and the font strips. Resource.Twr holds everything else.
foreach(var TWPACK GENERATED TEXTS STAGE OUT)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "MakePacks.cmake: ${var} is not set")
    endif()
endforeach()

set(resource_root ${STAGE}/Resource)
set(lang_root ${STAGE}/Lang)
file(REMOVE_RECURSE ${resource_root} ${lang_root})
file(MAKE_DIRECTORY ${resource_root}/Data ${lang_root}/Data/Textures)

file(COPY ${GENERATED}/Data/ DESTINATION ${resource_root}/Data)
file(RENAME ${resource_root}/Data/Textures/Fonts ${lang_root}/Data/Textures/Fonts)
file(COPY ${TEXTS}/Map.Txt ${TEXTS}/EngineDefs.Txt DESTINATION ${resource_root}/Data)
file(COPY ${TEXTS}/Lang.Txt ${TEXTS}/Fonts.Txt DESTINATION ${lang_root}/Data)

file(MAKE_DIRECTORY ${OUT})
foreach(pack Resource Lang)
    execute_process(COMMAND ${TWPACK} create ${OUT}/${pack}.Twr ${STAGE}/${pack}
                    RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "MakePacks.cmake: twpack failed for ${pack}.Twr")
    endif()
endforeach()
