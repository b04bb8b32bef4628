# Builds one language pack: the language tables, the font table naming the language and the
# pictures that carry words (the font strips, the same for every language, are in Resource.Twr).
# Run with cmake -P and these variables:
#   TWPACK     the pack tool
#   PICTURES   the folder of this language's generated pictures (holds Data/Textures)
#   TABLES     the language tables, English first, joined into the pack's Data/Lang.Txt
#   FONTTABLE  the hand-written Fonts.Txt
#   LANGUAGE   the language's block name in the tables ("English", "German", ...)
#   STAGE      a scratch folder for the pack tree
#   OUT        the pack file to write
#   ENGLISH    (translations only) the English pack's staged tree: every file staged here with
#              the same name and the same bytes is left out, as the game reads it from the
#              English pack it keeps open behind this one
foreach(var TWPACK PICTURES TABLES FONTTABLE LANGUAGE STAGE OUT)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "MakeLangPack.cmake: ${var} is not set")
    endif()
endforeach()

file(REMOVE_RECURSE ${STAGE})
file(MAKE_DIRECTORY ${STAGE}/Data/Textures)
file(COPY ${PICTURES}/Data/Textures/ DESTINATION ${STAGE}/Data/Textures)

set(tables "")
foreach(table IN LISTS TABLES)
    file(READ ${table} text)
    string(APPEND tables "${text}\n")
endforeach()
file(WRITE ${STAGE}/Data/Lang.Txt "${tables}")

file(READ ${FONTTABLE} fonts)
string(REGEX REPLACE "Language = \"[^\"]*\"" "Language = \"${LANGUAGE}\"" fonts "${fonts}")
file(WRITE ${STAGE}/Data/Fonts.Txt "${fonts}")

if(DEFINED ENGLISH)
    file(GLOB_RECURSE staged RELATIVE ${STAGE} ${STAGE}/*)
    foreach(name IN LISTS staged)
        if(EXISTS ${ENGLISH}/${name})
            file(SHA256 ${STAGE}/${name} ours)
            file(SHA256 ${ENGLISH}/${name} english)
            if(ours STREQUAL english)
                file(REMOVE ${STAGE}/${name})
            endif()
        endif()
    endforeach()
endif()

execute_process(COMMAND ${TWPACK} create ${OUT} ${STAGE} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "MakeLangPack.cmake: twpack failed for ${OUT}")
endif()
