# What `cmake --install` puts beside the three programs (their own install()
# lines are in ui/, tools/kif and tools/peer), and the Debian package that
# CPack makes of it (`make deb`).
#
#   share/applications/ravuone.desktop       the desktop entry: ravuone %f
#   share/mime/packages/ravuone.xml          the record file types by extension
#   share/icons/hicolor/NxN/apps/ravuone.png the icon, drawn by ravuone-artwork
#   share/man/man1/*.1                       the three manual pages
#   share/ravuone/skin/                      every file of res/skin (1x and 2x)
#
# The translations are built into the program's resources: nothing to install.
# The program finds its skins at run time from its own folder
# (<bin>/../share/ravuone/skin), so any prefix works.
include(GNUInstallDirs)

install(FILES ${CMAKE_SOURCE_DIR}/dist/ravuone.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/dist/ravuone.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/res/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
install(FILES ${CMAKE_SOURCE_DIR}/dist/man/ravuone.1 ${CMAKE_SOURCE_DIR}/dist/man/ravuone-kif.1
              ${CMAKE_SOURCE_DIR}/dist/man/ravuone-peer.1
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
# By folder, so that whatever skin files res/skin holds are installed.
install(DIRECTORY ${CMAKE_SOURCE_DIR}/res/skin/ DESTINATION ${CMAKE_INSTALL_DATADIR}/ravuone/skin)

# The Debian package: ravuone_<version>_<arch>.deb, its library dependencies
# found by dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ravuone)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "shogi between two players over the network, with chat and game records")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "RavuOne is a shogi (Japanese chess) board on which two people play each\n\
other over TCP, peer to peer, and chat while they play.  A host takes\n\
spectators too.  Every move goes into a game record with variations and\n\
comments, replayed and saved as KIF files; a USI engine can analyse it.\n\
ravuone-kif converts and analyses records; ravuone-peer is a copy without\n\
windows for terminals and scripts.")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "RavuOne maintainers <maintainers@users.noreply.c-seed-b9fcd256.example>")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Beyond the libraries: Qt's platform plugins (no window without them) and
# the fonts the windows are drawn with; Qt's own Japanese texts and a USI
# engine for the analysis are welcome.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-qpa-plugins, fonts-ipafont-gothic | fonts-noto-cjk, fonts-ipafont-mincho | fonts-noto-cjk")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "fairy-stockfish")
include(CPack)
