# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows program as it is installed: one folder holding everything it needs, which the
# installer copies to Program Files (packaging/windows/).
#
#   numbelo.exe and the DLLs it needs: Qt, SDL2 (opened at the first sound), the compiler's
#     run-time
#   platforms\qwindows.dll, styles\qwindowsvistastyle.dll   Qt's plugins, found beside the
#                                                            program only (resources/windows/qt.conf)
#   sound\*, readme.txt, fonts\*   the sounds and music, the readme (with Windows' sections and
#                                  line ends), the faces the program writes with
#   licences\*                     the licences of the program and of all it brings along
#
# The build folder is laid out the same way, so that the program runs from it; it also holds
# Qt's offscreen plugin and test library for the tests.
#
#   cmake --build --preset windows --target installer msi
#     stages the installed folder in installer-stage\ and makes from it, with one list of its
#     files (packaging/windows/FileLists.cmake), numbelo-<version>-windows-x64-setup.exe with
#     NSIS and numbelo-<version>-windows-x64.msi with wixl

find_package(SDL2 REQUIRED CONFIG)

# The faces the program names (widgets/WindowLook.h), from Debian's font packages, in the
# weights it writes them in.
set(NUMBELO_FONT_FILES
  /usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf
  /usr/share/fonts/truetype/liberation2/LiberationSans-Bold.ttf
  /usr/share/fonts/opentype/urw-base35/URWBookman-Demi.otf
  /usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf
  /usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf
  /usr/share/fonts/opentype/comic-neue/ComicNeue-Regular.otf
  /usr/share/fonts/opentype/comic-neue/ComicNeue-Bold.otf)
# What the program brings along, by the Debian package whose copyright file states its licence.
set(NUMBELO_LICENCE_PACKAGES
  fonts-liberation2 fonts-urw-base35 fonts-dejavu-core fonts-comic-neue
  libqt6core6 libsdl2-2.0-0 gcc-mingw-w64-base mingw-w64-common)
foreach(file IN LISTS NUMBELO_FONT_FILES)
  if(NOT EXISTS "${file}")
    message(FATAL_ERROR "${file} is missing; ./setup.sh windows installs the font packages")
  endif()
endforeach()

set(NUMBELO_RUNTIME_DLLS
  "${CMAKE_BINARY_DIR}/Qt6Core.dll" "${CMAKE_BINARY_DIR}/Qt6Gui.dll"
  "${CMAKE_BINARY_DIR}/Qt6Widgets.dll" "${CMAKE_BINARY_DIR}/SDL2.dll")
set(NUMBELO_RUNTIME_COMMANDS)
foreach(dll IN LISTS NUMBELO_MINGW_RUNTIME_DLLS)
  # Debian's copies carry their debugging symbols: libstdc++-6.dll is 24 MB with them, 2 without.
  cmake_path(GET dll FILENAME name)
  list(APPEND NUMBELO_RUNTIME_DLLS "${CMAKE_BINARY_DIR}/${name}")
  list(APPEND NUMBELO_RUNTIME_COMMANDS
    COMMAND "${CMAKE_STRIP}" --strip-unneeded -o "${CMAKE_BINARY_DIR}/${name}" "${dll}")
endforeach()
add_custom_target(numbelo_windows_runtime
  COMMAND ${CMAKE_COMMAND} -E make_directory "${CMAKE_BINARY_DIR}/platforms"
    "${CMAKE_BINARY_DIR}/styles" "${CMAKE_BINARY_DIR}/fonts"
  ${NUMBELO_RUNTIME_COMMANDS}
  COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:Qt6::Core> $<TARGET_FILE:Qt6::Gui>
    $<TARGET_FILE:Qt6::Widgets> $<TARGET_FILE:Qt6::Test> $<TARGET_FILE:SDL2::SDL2> "${CMAKE_BINARY_DIR}"
  COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:Qt6::QWindowsIntegrationPlugin>
    $<TARGET_FILE:Qt6::QOffscreenIntegrationPlugin> "${CMAKE_BINARY_DIR}/platforms"
  COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:Qt6::QWindowsVistaStylePlugin>
    "${CMAKE_BINARY_DIR}/styles"
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${NUMBELO_FONT_FILES} "${CMAKE_BINARY_DIR}/fonts"
  COMMENT "Copying the DLLs, Qt's plugins and the fonts beside the program")

install(FILES ${NUMBELO_RUNTIME_DLLS} DESTINATION .)
install(FILES $<TARGET_FILE:Qt6::QWindowsIntegrationPlugin> DESTINATION platforms)
install(FILES $<TARGET_FILE:Qt6::QWindowsVistaStylePlugin> DESTINATION styles)
install(FILES ${NUMBELO_FONT_FILES} DESTINATION fonts)
install(DIRECTORY "${PROJECT_SOURCE_DIR}/resources/sound/" DESTINATION sound)
install(FILES "${CMAKE_BINARY_DIR}/readme.txt" DESTINATION .)

# The licences, as text files Notepad opens (with Windows' line ends): the program's own, and
# the copyright file of each package the fonts, the libraries and the compiler's run-time come
# from.
function(numbelo_windows_text from to)
  file(READ "${from}" text)
  string(REPLACE "\r\n" "\n" text "${text}")
  string(REPLACE "\n" "\r\n" text "${text}")
  file(WRITE "${to}" "${text}")
endfunction()
set(NUMBELO_LICENCES_DIR "${CMAKE_BINARY_DIR}/licences")
numbelo_windows_text("${PROJECT_SOURCE_DIR}/LICENSE" "${NUMBELO_LICENCES_DIR}/numbelo.txt")
set(NUMBELO_LICENCE_FILES "${NUMBELO_LICENCES_DIR}/numbelo.txt")
foreach(package IN LISTS NUMBELO_LICENCE_PACKAGES)
  set(copyright "/usr/share/doc/${package}/copyright")
  if(NOT EXISTS "${copyright}")
    message(FATAL_ERROR "${copyright} is missing: install the package ${package}")
  endif()
  numbelo_windows_text("${copyright}" "${NUMBELO_LICENCES_DIR}/${package}.txt")
  list(APPEND NUMBELO_LICENCE_FILES "${NUMBELO_LICENCES_DIR}/${package}.txt")
endforeach()
install(FILES ${NUMBELO_LICENCE_FILES} DESTINATION licences)

# The installers, both made from the staged installation and one list of its files.
find_program(NUMBELO_MAKENSIS makensis)
find_program(NUMBELO_WIXL wixl)
set(NUMBELO_INSTALLER "numbelo-${PROJECT_VERSION}-windows-x64-setup.exe")
set(NUMBELO_MSI "numbelo-${PROJECT_VERSION}-windows-x64.msi")
set(NUMBELO_STAGE "${CMAKE_BINARY_DIR}/installer-stage")
# The MSI package's lasting identity: every version shares the upgrade code, by which a newer
# one finds and replaces an older one (and the NSIS installer finds it); the Start-menu entry's
# component keeps its GUID.
set(NUMBELO_MSI_UPGRADE_CODE "8E5C2A57-2D3B-4C8F-9A51-3D2E7B6A1C40")
set(NUMBELO_MSI_MENU_GUID "2B1F6C0E-7A4D-4E0B-8C3A-5D9E1F2A6B70")
# Windows Installer compares three parts of a version, each at most 65535: the build's fourth
# part goes into the third (1.0.0.3 is 1.0.3, 1.0.2.7 would be 1.0.2007).
if(PROJECT_VERSION_PATCH GREATER 64 OR PROJECT_VERSION_TWEAK GREATER 999)
  message(FATAL_ERROR "${PROJECT_VERSION} has no three-part form for the MSI package")
endif()
math(EXPR msi_build "${PROJECT_VERSION_PATCH} * 1000 + ${PROJECT_VERSION_TWEAK}")
set(NUMBELO_MSI_VERSION "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${msi_build}")
# One product code a version: the same version built again is the same product, never a second
# entry beside the first.
string(UUID NUMBELO_MSI_PRODUCT_CODE NAMESPACE "${NUMBELO_MSI_UPGRADE_CODE}"
  NAME "${NUMBELO_MSI_VERSION}" TYPE SHA1 UPPER)
configure_file("${PROJECT_SOURCE_DIR}/packaging/windows/numbelo.nsi.in"
  "${CMAKE_BINARY_DIR}/numbelo.nsi" @ONLY)
configure_file("${PROJECT_SOURCE_DIR}/packaging/windows/numbelo.wxs.in"
  "${CMAKE_BINARY_DIR}/numbelo.wxs" @ONLY)
# wixl finds a file only by a relative name: the icon and the running check beside numbelo.wxs,
# the program's files in the staged folder it runs in.
configure_file("${PROJECT_SOURCE_DIR}/resources/windows/numbelo.ico"
  "${CMAKE_BINARY_DIR}/numbelo.ico" COPYONLY)
# The MSI package's check for a running Numbelo, a custom action: a DLL with nothing but
# Windows' own libraries, kept in the package and never installed.
add_library(numbelo_running_check MODULE "${PROJECT_SOURCE_DIR}/packaging/windows/RunningCheck.cpp")
# Windows Installer's library by its file name: "msi" is the name of the package's target.
target_link_libraries(numbelo_running_check PRIVATE numbelo_warnings numbelo_build_info -lmsi)
target_link_options(numbelo_running_check PRIVATE -static -s)
set_target_properties(numbelo_running_check PROPERTIES PREFIX "" OUTPUT_NAME running-check
  AUTOMOC OFF LIBRARY_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}")
add_custom_target(installer_stage
  COMMAND ${CMAKE_COMMAND} -E rm -rf "${NUMBELO_STAGE}"
  COMMAND ${CMAKE_COMMAND} --install "${CMAKE_BINARY_DIR}" --prefix "${NUMBELO_STAGE}" --strip
  COMMAND ${CMAKE_COMMAND} -DSTAGE=${NUMBELO_STAGE} -DOUT=${CMAKE_BINARY_DIR}
    -P "${PROJECT_SOURCE_DIR}/packaging/windows/FileLists.cmake"
  WORKING_DIRECTORY "${CMAKE_BINARY_DIR}"
  DEPENDS numbelo numbelo_windows_runtime numbelo_sound_folder numbelo_readme
  COMMENT "Staging the installed program and listing its files"
  VERBATIM)
if(NUMBELO_MAKENSIS)
  add_custom_target(installer
    COMMAND "${NUMBELO_MAKENSIS}" -V2 -NOCD "${CMAKE_BINARY_DIR}/numbelo.nsi"
    BYPRODUCTS "${CMAKE_BINARY_DIR}/${NUMBELO_INSTALLER}"
    WORKING_DIRECTORY "${CMAKE_BINARY_DIR}"
    DEPENDS installer_stage
    COMMENT "Making ${NUMBELO_INSTALLER}"
    VERBATIM)
endif()
if(NUMBELO_WIXL)
  add_custom_target(msi
    COMMAND "${NUMBELO_WIXL}" -a x64 -D Version=${NUMBELO_MSI_VERSION}
      -D ProductCode=${NUMBELO_MSI_PRODUCT_CODE} -o "${CMAKE_BINARY_DIR}/${NUMBELO_MSI}"
      "${CMAKE_BINARY_DIR}/numbelo.wxs" "${CMAKE_BINARY_DIR}/msi-files.wxs"
    BYPRODUCTS "${CMAKE_BINARY_DIR}/${NUMBELO_MSI}"
    WORKING_DIRECTORY "${NUMBELO_STAGE}"
    DEPENDS installer_stage numbelo_running_check
    COMMENT "Making ${NUMBELO_MSI}"
    VERBATIM)
endif()
