# Installing the game the way desktop players expect: the program in bin/ (games/ in the
# Debian package), its packs in share/zorbit-volley/Data/, a menu entry, AppStream metadata,
# themed icons, the man page, the copyright file and the changelog. `make deb` turns the same
# tree into two Debian packages: zorbit-volley (the program and the desktop files) and
# zorbit-volley-data (the packs, the same on every architecture).

set(ZV_APP_ID org.zorbitvolley.ZorbitVolley)
set(ZV_DATA_DESTINATION ${CMAKE_INSTALL_DATADIR}/zorbit-volley)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
    GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# The installed program finds its packs relative to itself first, so a package or a tree
# installed under any prefix (or moved afterwards) still works.
file(RELATIVE_PATH ZV_DATADIR_FROM_BINDIR ${CMAKE_INSTALL_FULL_BINDIR}
     ${CMAKE_INSTALL_FULL_DATADIR}/zorbit-volley)
target_compile_definitions(tw_os PRIVATE ZV_DATADIR_FROM_BINDIR="${ZV_DATADIR_FROM_BINDIR}")

install(TARGETS zorbit-volley RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT game)

# The packs are installed by assets/ where they are built (component "data"); without the
# asset tools there is nothing to install and the program reports the missing packs.

install(FILES ${PROJECT_SOURCE_DIR}/packaging/${ZV_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT game)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/${ZV_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT game)

# The man page and the changelog are installed compressed, without a time stamp inside, as
# Debian expects them.
set(ZV_DOC_BUILD_DIR ${CMAKE_BINARY_DIR}/doc-gz)
find_program(ZV_GZIP gzip REQUIRED)
set(ZV_COMPRESSED_DOCS "")
foreach(doc IN ITEMS docs/zorbit-volley.6 packaging/debian/changelog)
    get_filename_component(doc_name ${doc} NAME)
    set(compressed ${ZV_DOC_BUILD_DIR}/${doc_name}.gz)
    add_custom_command(
        OUTPUT ${compressed}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${ZV_DOC_BUILD_DIR}
        COMMAND ${ZV_GZIP} -9nc ${PROJECT_SOURCE_DIR}/${doc} > ${compressed}
        DEPENDS ${PROJECT_SOURCE_DIR}/${doc}
        COMMENT "Compressing ${doc_name}")
    list(APPEND ZV_COMPRESSED_DOCS ${compressed})
endforeach()
add_custom_target(zv_compressed_docs ALL DEPENDS ${ZV_COMPRESSED_DOCS})
install(FILES ${ZV_DOC_BUILD_DIR}/zorbit-volley.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6
        COMPONENT game)
# Every package carries the copyright file and the changelog in its own doc folder.
foreach(component_package IN ITEMS game:zorbit-volley data:zorbit-volley-data)
    string(REPLACE ":" ";" pair ${component_package})
    list(GET pair 0 component)
    list(GET pair 1 package)
    install(FILES ${PROJECT_SOURCE_DIR}/packaging/debian/copyright
            DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${package} COMPONENT ${component})
    install(FILES ${ZV_DOC_BUILD_DIR}/changelog.gz
            DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${package} COMPONENT ${component})
endforeach()

# Menu icons, drawn by assetgen from the window icon's artwork.
set(ZV_ICON_DIR ${CMAKE_BINARY_DIR}/asset-gen/icons)
foreach(size 48 128 256)
    install(FILES ${ZV_ICON_DIR}/zorbit-volley-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME zorbit-volley.png COMPONENT game)
endforeach()

# Debian packages, one per component (see `make deb`).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zorbit-volley)
set(CPACK_PACKAGE_VENDOR "Zorbit Volley developers")
set(CPACK_PACKAGE_CONTACT "Zorbit Volley developers <maintainers@zorbitvolley.org>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL game data)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# Debian keeps games in /usr/games: the staged program moves there before the packages are
# made, so one tree serves `cmake --install` (bin/, as the install test expects) and the
# packages alike.
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/packaging/debian/program-in-games.cmake)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://zorbitvolley.org")

set(CPACK_DEBIAN_GAME_PACKAGE_NAME zorbit-volley)
set(CPACK_COMPONENT_GAME_DESCRIPTION
    "bubble shooter: aim, bounce and burst coloured bubbles\n\
Aim the launcher at the bubbles hanging from the ceiling, bank shots off the\n\
walls and burst groups of three or more of one colour. Classic and Arcade\n\
modes, high scores, player profiles with saved games; mouse, keyboard or\n\
gamepad; eight languages.")
set(CPACK_DEBIAN_GAME_PACKAGE_DEPENDS "zorbit-volley-data (= ${PROJECT_VERSION})")
# The shared libraries the program links (SDL2, SDL2_mixer, the picture and sound libraries,
# the C++ runtime) become the program's further dependencies.
find_program(ZV_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(ZV_DPKG_SHLIBDEPS)
    set(CPACK_DEBIAN_GAME_PACKAGE_SHLIBDEPS ON)
else()
    string(APPEND CPACK_DEBIAN_GAME_PACKAGE_DEPENDS
           ", libsdl2-2.0-0, libsdl2-mixer-2.0-0, libturbojpeg0, libwebp7")
endif()

set(CPACK_DEBIAN_DATA_PACKAGE_NAME zorbit-volley-data)
set(CPACK_DEBIAN_DATA_PACKAGE_ARCHITECTURE all)
set(CPACK_DEBIAN_DATA_PACKAGE_MULTIARCH foreign)
set(CPACK_COMPONENT_DATA_DESCRIPTION
    "bubble shooter: aim, bounce and burst coloured bubbles (data)\n\
The pictures, sounds, music, field layout and texts in eight languages of\n\
Zorbit Volley, a bubble shooter.")
include(CPack)
