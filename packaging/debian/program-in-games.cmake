# Run by CPack (CPACK_PRE_BUILD_SCRIPTS) once the files of the packages are staged and before
# the packages are made: Debian keeps games in /usr/games, so the program that the tree
# installs in bin/ moves there. A tree configured with CMAKE_INSTALL_BINDIR=games has nothing
# to move.
file(GLOB staged_bins LIST_DIRECTORIES true
     "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/usr/bin"
     "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/usr/bin")
foreach(bin IN LISTS staged_bins)
    get_filename_component(usr "${bin}" DIRECTORY)
    file(MAKE_DIRECTORY "${usr}/games")
    file(GLOB programs "${bin}/*")
    foreach(program IN LISTS programs)
        get_filename_component(name "${program}" NAME)
        file(RENAME "${program}" "${usr}/games/${name}")
    endforeach()
    file(REMOVE_RECURSE "${bin}")
endforeach()
