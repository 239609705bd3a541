# Installed like any Debian game: the binary in games/, its menu entry, icons,
# AppStream metadata, a manual page, the licence and the changelog. `make
# package` wraps the same files into a .deb.
include(GNUInstallDirs)

set(QUENMAR_BINDIR games CACHE STRING "Where the game's binary goes, under the prefix")
set(QUENMAR_MAINTAINER "The Quenmar developers <developers@quenmar.org>")
set(QUENMAR_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/quenmar)

# Installed modes are the build's, not those of the tree it was unpacked
# from or of the umask it runs under: 0755 for folders and the program, 0644
# for data.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

install(TARGETS quenmar RUNTIME DESTINATION ${QUENMAR_BINDIR})

# The menu entry names the binary by its full path, which is known only when
# installing: the package's /usr, or a prefix such as ~/.local.
install(CODE "
    set(QUENMAR_EXEC \"\${CMAKE_INSTALL_PREFIX}/${QUENMAR_BINDIR}/quenmar\")
    configure_file(\"${PROJECT_SOURCE_DIR}/data/quenmar.desktop.in\"
                   \"${PROJECT_BINARY_DIR}/quenmar.desktop\" @ONLY)
    file(INSTALL DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/applications\"
         TYPE FILE FILES \"${PROJECT_BINARY_DIR}/quenmar.desktop\")
")
install(FILES data/org.quenmar.quenmar.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES data/icons/quenmar.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 48 64 128 256)
    install(FILES data/icons/hicolor/${size}x${size}/quenmar.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

# The manual page and the changelog go compressed, as Debian has them.
foreach(page quenmar.6 debian/changelog)
    get_filename_component(name ${page} NAME)
    add_custom_command(OUTPUT ${name}.gz
        COMMAND gzip -9n -c ${PROJECT_SOURCE_DIR}/data/${page} > ${name}.gz
        DEPENDS ${PROJECT_SOURCE_DIR}/data/${page})
endforeach()
add_custom_target(compressed_docs ALL DEPENDS quenmar.6.gz changelog.gz)
install(FILES ${PROJECT_BINARY_DIR}/quenmar.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES data/debian/copyright DESTINATION ${QUENMAR_DOCDIR})
install(FILES data/debian/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
        RENAME quenmar)
install(FILES ${PROJECT_BINARY_DIR}/changelog.gz DESTINATION ${QUENMAR_DOCDIR}
        RENAME changelog.Debian.gz)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quenmar)
set(CPACK_PACKAGE_VENDOR "The Quenmar developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "tank battle against up to fifty computer tanks")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Drive a tank with the arrow keys, aim with the mouse and fire with the left\nbutton against computer tanks that pick targets, aim and fire back. Every\nlevel adds one enemy, up to fifty.")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${QUENMAR_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-wayland)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
include(CPack)
