# Installing Kelvra like a desktop program, and the Debian package:
#   cmake --install build --prefix /usr         (DESTDIR=... for a scratch root)
#   (cd build && cpack -G DEB)                   → kelvra_<version>_<arch>.deb
#
# <prefix>/bin/kelvra              the launcher (packaging/launcher.sh.in)
# <prefix>/lib/kelvra/kelvra       the painter, started by the launcher
# <prefix>/bin/kelvra-thumbnailer  the file managers' thumbnailer, started directly
# <prefix>/share/kelvra/textures   the shipped maps, copied into the person's folder
# <prefix>/share/kelvra/brushes    the shipped brushes, read where they are
# <prefix>/share/applications/kelvra.desktop, share/icons/hicolor/*/apps/kelvra.png
# <prefix>/share/mime/packages/kelvra-painting.xml  the painting file's type
# <prefix>/share/thumbnailers/kelvra.thumbnailer    the thumbnailer's entry
#
# The desktop's databases (file types, which program opens a type, icons)
# are updated by dpkg's triggers of shared-mime-info, desktop-file-utils and
# hicolor-icon-theme whenever files land in their folders: the package needs
# no scripts of its own for them.
#
# Every program a person starts goes into lib/kelvra and gets a copy of the
# launcher under its own name in bin, so all of them share one data folder.
include(GNUInstallDirs)
set(KELVRA_PROGRAM_DIR lib/kelvra)
set(KELVRA_DATA_DIR ${CMAKE_INSTALL_DATADIR}/kelvra)
file(RELATIVE_PATH KELVRA_BIN_TO_PREFIX /prefix/${CMAKE_INSTALL_BINDIR} /prefix)
configure_file(${CMAKE_CURRENT_LIST_DIR}/launcher.sh.in ${PROJECT_BINARY_DIR}/packaging/launcher.sh
  @ONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/kelvra.desktop.in
  ${PROJECT_BINARY_DIR}/packaging/kelvra.desktop @ONLY)

function(kelvra_install_program target)
  install(TARGETS ${target} RUNTIME DESTINATION ${KELVRA_PROGRAM_DIR})
  install(PROGRAMS ${PROJECT_BINARY_DIR}/packaging/launcher.sh
    DESTINATION ${CMAKE_INSTALL_BINDIR} RENAME ${target})
endfunction()

kelvra_install_program(kelvra)
if(TARGET kelvra-play)
  kelvra_install_program(kelvra-play)
endif()
# The thumbnailer goes into bin as it is, without the launcher: a file
# manager starts it for every painting it shows, often in a sandbox that
# cannot write the person's home, and it needs no data folder (it reads the
# file it is given and writes the picture it is asked for).
install(TARGETS kelvra-thumbnailer RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The maps without the gradient maps a run from the checkout leaves behind.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/textures/ DESTINATION ${KELVRA_DATA_DIR}/textures
  REGEX "sourcemap/Saved/[^/]+$" EXCLUDE)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/brushes/ DESTINATION ${KELVRA_DATA_DIR}/brushes)
install(FILES ${PROJECT_BINARY_DIR}/packaging/kelvra.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(DIRECTORY ${KELVRA_ICON_DIR}/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/kelvra-painting.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/kelvra.thumbnailer
  DESTINATION ${CMAKE_INSTALL_DATADIR}/thumbnailers)

set(CPACK_PACKAGE_NAME kelvra)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Kelvra")
set(CPACK_PACKAGE_CONTACT "Kelvra developers <kelvra@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "3D relief painting program")
set(CPACK_PACKAGE_DESCRIPTION "Paint with the mouse on a canvas in a perspective 3D view: every
stroke becomes a lit, textured relief mesh or a cloud of particles. Strokes
can be picked, resized, rebuilt and deleted, and a stroke laid over another
piles up where they cross. Comes with the texture maps to paint with.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
# The libraries the programs link (GLUT, GLU, GL, libpng, Assimp, libzip,
# FFmpeg's libavcodec, libavformat and libswscale for films, and stb for
# Dear ImGui's fonts) come from dpkg-shlibdeps; Dear ImGui itself is
# linked statically.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# kelvra-play starts its own Xvfb where there is no display, and Mesa's
# drivers draw where no other GL driver is installed.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xvfb, libgl1-mesa-dri")
# The font the control layer shows names in (glui/engine.h); the
# libraries come from the shared-library scan.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core")
include(CPack)
