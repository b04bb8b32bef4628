# Installing the game the way desktop players expect: the program in bin/, its two packs in
# share/zorbit-volley/Data/, a menu entry, AppStream metadata, themed icons and a man page.
# `cpack -G DEB` in the build tree turns the same tree into a Debian package.

set(ZV_APP_ID org.zorbitvolley.ZorbitVolley)
set(ZV_DATA_DESTINATION ${CMAKE_INSTALL_DATADIR}/zorbit-volley)

# The installed program finds its packs relative to itself first, so a package or a tree
# installed under any prefix (or moved afterwards) still works.
file(RELATIVE_PATH ZV_DATADIR_FROM_BINDIR ${CMAKE_INSTALL_FULL_BINDIR}
     ${CMAKE_INSTALL_FULL_DATADIR}/zorbit-volley)
target_compile_definitions(tw_platform PRIVATE ZV_DATADIR_FROM_BINDIR="${ZV_DATADIR_FROM_BINDIR}")

install(TARGETS zorbit-volley RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The packs are installed by assets/ where they are built; without the asset tools there is
# nothing to install and the program reports the missing packs when started.

install(FILES ${PROJECT_SOURCE_DIR}/packaging/${ZV_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/${ZV_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${PROJECT_SOURCE_DIR}/docs/zorbit-volley.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)

# Menu icons, drawn by assetgen from the window icon's artwork.
set(ZV_ICON_DIR ${CMAKE_BINARY_DIR}/asset-gen/icons)
foreach(size 48 128 256)
    install(FILES ${ZV_ICON_DIR}/zorbit-volley-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME zorbit-volley.png)
endforeach()

# Debian package.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zorbit-volley)
set(CPACK_PACKAGE_VENDOR "Zorbit Volley developers")
set(CPACK_PACKAGE_CONTACT "Zorbit Volley developers <maintainers@zorbitvolley.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "bubble shooter: aim, bounce and burst coloured bubbles")
set(CPACK_PACKAGE_DESCRIPTION
    "Aim the launcher at the bubbles hanging from the ceiling, bank shots off the walls and\n\
burst groups of three or more of one colour. Classic and Arcade modes, high scores,\n\
player profiles with saved games; mouse, keyboard or gamepad.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://zorbitvolley.org")
# The shared libraries the program links (SDL2, SDL2_mixer, the C++ runtime) become the
# package's dependencies.
find_program(ZV_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(ZV_DPKG_SHLIBDEPS)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "libsdl2-2.0-0, libsdl2-mixer-2.0-0")
endif()
include(CPack)
