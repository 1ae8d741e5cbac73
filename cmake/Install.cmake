# SPDX-License-Identifier: GPL-3.0-or-later
# Installing Numbelo like any desktop program, and packaging it for Debian.
#
#   cmake --install <build folder> [--prefix <folder>]
#     bin/numbelo
#     share/numbelo/sound/*            sounds and music, looked for here after beside the program
#     share/numbelo/readme.txt         opened by Help > Readme
#     share/applications/<id>.desktop  the menu entry
#     share/metainfo/<id>.metainfo.xml what software centres show
#     share/icons/hicolor/{32x32,scalable}/apps/<id>.{png,svg}
#     share/doc/numbelo/{copyright,changelog.gz}, share/man/man6/numbelo.6.gz
#
# The program looks for its data in the data folder of the prefix it was configured with, so a
# package is built from a folder configured with its final prefix: the "package" preset, in
# build-package/ (cmake --workflow --preset package).

# Folders made while installing are rwxr-xr-x whatever the umask of whoever installs or packages.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(NUMBELO_RESOURCES "${PROJECT_SOURCE_DIR}/resources")
set(NUMBELO_DATA_DESTINATION "${CMAKE_INSTALL_DATADIR}/numbelo")

install(DIRECTORY "${NUMBELO_RESOURCES}/sound/" DESTINATION "${NUMBELO_DATA_DESTINATION}/sound")
install(FILES "${NUMBELO_RESOURCES}/readme.txt" DESTINATION "${NUMBELO_DATA_DESTINATION}")

configure_file("${NUMBELO_RESOURCES}/desktop/${NUMBELO_APP_ID}.desktop.in"
  "${PROJECT_BINARY_DIR}/${NUMBELO_APP_ID}.desktop" @ONLY)
configure_file("${NUMBELO_RESOURCES}/desktop/${NUMBELO_APP_ID}.metainfo.xml.in"
  "${PROJECT_BINARY_DIR}/${NUMBELO_APP_ID}.metainfo.xml" @ONLY)
install(FILES "${PROJECT_BINARY_DIR}/${NUMBELO_APP_ID}.desktop"
  DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
install(FILES "${PROJECT_BINARY_DIR}/${NUMBELO_APP_ID}.metainfo.xml"
  DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo")
install(FILES "${NUMBELO_RESOURCES}/images/icon32.png"
  DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/32x32/apps" RENAME "${NUMBELO_APP_ID}.png")
install(FILES "${NUMBELO_RESOURCES}/art/numbelo.svg"
  DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps" RENAME "${NUMBELO_APP_ID}.svg")

# The Debian package: dpkg-shlibdeps finds the libraries the program links; what it only opens
# at run time (FluidSynth, loaded when the music first plays, the instrument sounds for the
# music, the fonts of the windows) is listed here. FluidSynth 2.2 added the tick callback.
set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "numbelo")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_CONTACT "${NUMBELO_MAKER_EMAIL}")
set(CPACK_PACKAGE_VENDOR "Numbelo")
set(CPACK_PACKAGING_INSTALL_PREFIX "${CMAKE_INSTALL_PREFIX}")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Numbelo <${NUMBELO_MAKER_EMAIL}>")
set(CPACK_DEBIAN_PACKAGE_SECTION "education")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${NUMBELO_MAKER_HOMEPAGE}")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "An arithmetic drill in Indonesian for primary-school children:
addition, subtraction, multiplication and division at three levels, eleven
questions a lesson, spoken digits, sounds for right and wrong answers, a mark
out of 100 and optional background music.")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "libfluidsynth3 (>= 2.2.0), timgm6mb-soundfont | fluid-soundfont-gm, fonts-liberation2, fonts-dejavu-core, fonts-urw-base35, fonts-comic-neue")
# SDL plays every sound but is loaded only when the first one is due, so the package tools do
# not see it among the linked libraries.
string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS ", libsdl2-2.0-0 (>= 2.0.18)")
# Links and the readme open through the desktop's own programs; native Wayland windows need
# Qt's Wayland plugin (without it the program runs through XWayland).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, qt6-wayland")

# The copyright, the changelog and the manual page every Debian package carries. Every
# installation gets them, so the package is exactly the installed tree and the licence goes
# wherever the program goes. Compressed as Debian wants them: gzip -9n keeps the name and time
# out of the header, so the same sources give the same files.
if(UNIX)
  find_program(NUMBELO_GZIP gzip REQUIRED)
  set(NUMBELO_PACKAGING "${PROJECT_SOURCE_DIR}/packaging")
  set(NUMBELO_COMPRESSED_DOCUMENTS)
  foreach(document IN ITEMS debian/changelog numbelo.6)
    cmake_path(GET document FILENAME name)
    configure_file("${NUMBELO_PACKAGING}/${document}.in" "${PROJECT_BINARY_DIR}/${name}" @ONLY)
    add_custom_command(OUTPUT "${PROJECT_BINARY_DIR}/${name}.gz"
      COMMAND "${NUMBELO_GZIP}" -9nkf "${PROJECT_BINARY_DIR}/${name}"
      DEPENDS "${PROJECT_BINARY_DIR}/${name}"
      COMMENT "Compressing ${name}")
    list(APPEND NUMBELO_COMPRESSED_DOCUMENTS "${PROJECT_BINARY_DIR}/${name}.gz")
  endforeach()
  add_custom_target(numbelo_documents ALL DEPENDS ${NUMBELO_COMPRESSED_DOCUMENTS})
  install(FILES "${NUMBELO_PACKAGING}/debian/copyright" "${PROJECT_BINARY_DIR}/changelog.gz"
    DESTINATION "${CMAKE_INSTALL_DOCDIR}")
  install(FILES "${PROJECT_BINARY_DIR}/numbelo.6.gz" DESTINATION "${CMAKE_INSTALL_MANDIR}/man6")
endif()
include(CPack)
