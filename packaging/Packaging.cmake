# Desktop integration and the Debian package.
#
# Install layout (below CMAKE_INSTALL_PREFIX; /usr in the package):
#   bin/phonolith                                          (ui/CMakeLists.txt)
#   share/applications/org.phonolith.Phonolith.desktop     launcher entry
#   share/metainfo/org.phonolith.Phonolith.metainfo.xml    AppStream metadata
#   share/icons/hicolor/scalable/apps/org.phonolith.Phonolith.svg
#   share/icons/hicolor/NxN/apps/org.phonolith.Phonolith.png (N = 16 ... 256)
#   share/man/man1/phonolith.1.gz                          manual page
#   share/phonolith/microphones.dat                        the microphone library
#   share/doc/phonolith/copyright                          the licence
#   share/doc/phonolith/changelog.Debian.gz                package history
#   share/lintian/overrides/phonolith                      lintian's one exception
#
# Build the package with `cpack -G DEB` in a build folder (docs/packaging.md).
# PHONOLITH_MAINTAINER and PHONOLITH_HOMEPAGE (top-level CMakeLists.txt) go
# into the package, the metadata and the manual page.
# Included last from the top-level CMakeLists.txt.

include(GNUInstallDirs)

set(PHONOLITH_APP_ID org.phonolith.Phonolith)
set(PHONOLITH_ICON_SIZES 16 32 48 64 128 256)
set(_phonolith_data ${PROJECT_SOURCE_DIR}/ui/data)
set(_phonolith_gen ${PROJECT_BINARY_DIR}/data)

if(NOT PHONOLITH_MAINTAINER MATCHES "^[^<>@]*[^<>@ ] <[^<>@ ]+@[^<>@ ]+>$")
  message(FATAL_ERROR "PHONOLITH_MAINTAINER must read 'Name <address>', not '${PHONOLITH_MAINTAINER}'")
endif()
if(NOT PHONOLITH_HOMEPAGE STREQUAL "" AND NOT PHONOLITH_HOMEPAGE MATCHES "^https?://[^ <>\"]+$")
  message(FATAL_ERROR "PHONOLITH_HOMEPAGE must be an http(s) address or empty, not '${PHONOLITH_HOMEPAGE}'")
endif()

# Writes the AppStream metadata to OUT. With a homepage it names it and the
# published screenshot, <homepage>/screenshots/main-window.png, at the size of
# docs/screenshot.png; without one it names neither.
function(phonolith_configure_metainfo out homepage)
  set(PHONOLITH_METAINFO_WEB "")
  if(NOT homepage STREQUAL "")
    string(REGEX REPLACE "/+$" "" _base "${homepage}")
    set(_shot ${PROJECT_SOURCE_DIR}/docs/screenshot.png)
    # PNG: width and height are the big-endian 32-bit words at bytes 16 and 20.
    file(READ ${_shot} _ihdr OFFSET 16 LIMIT 8 HEX)
    string(SUBSTRING "${_ihdr}" 0 8 _w)
    string(SUBSTRING "${_ihdr}" 8 8 _h)
    math(EXPR _w "0x${_w}")
    math(EXPR _h "0x${_h}")
    string(CONCAT PHONOLITH_METAINFO_WEB
      "  <screenshots>\n"
      "    <screenshot type=\"default\">\n"
      "      <caption>The main window with its inputs, result line, level bar and level diagram</caption>\n"
      "      <image type=\"source\" width=\"${_w}\" height=\"${_h}\">${_base}/screenshots/main-window.png</image>\n"
      "    </screenshot>\n"
      "  </screenshots>\n"
      "  <url type=\"homepage\">${homepage}</url>\n")
    set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${_shot})
  endif()
  configure_file(${_phonolith_data}/${PHONOLITH_APP_ID}.metainfo.xml.in ${out} @ONLY)
endfunction()
phonolith_configure_metainfo(${_phonolith_gen}/${PHONOLITH_APP_ID}.metainfo.xml "${PHONOLITH_HOMEPAGE}")

# The manual page and the package history, both gzipped as Debian wants them
# (best compression, no name or time stamp in the header).
string(REPLACE "-" "\\-" PHONOLITH_MAINTAINER_ROFF "${PHONOLITH_MAINTAINER}")
set(PHONOLITH_MAN_HOMEPAGE "")
if(NOT PHONOLITH_HOMEPAGE STREQUAL "")
  string(REPLACE "-" "\\-" _home "${PHONOLITH_HOMEPAGE}")
  set(PHONOLITH_MAN_HOMEPAGE ".PP\nThe project's homepage is\n.IR ${_home} .\n")
endif()
# The launcher entry (its main start) and the manual page name
# the library's path. The copies in the build folder (which the tests check)
# name it below CMAKE_INSTALL_PREFIX; the installed ones are made again at
# install time for the prefix installed to (CPack's /usr, or --prefix), from
# templates that keep the path's placeholder.
configure_file(${_phonolith_data}/${PHONOLITH_APP_ID}.desktop.in ${_phonolith_gen}/${PHONOLITH_APP_ID}.desktop @ONLY)
string(REPLACE "-" "\\-" PHONOLITH_LIBRARY_ROFF "${PHONOLITH_LIBRARY_FILE}")
configure_file(${PROJECT_SOURCE_DIR}/packaging/phonolith.1.in ${_phonolith_gen}/phonolith.1 @ONLY)
set(PHONOLITH_LIBRARY_ROFF "@PHONOLITH_LIBRARY_ROFF@")
configure_file(${PROJECT_SOURCE_DIR}/packaging/phonolith.1.in ${_phonolith_gen}/phonolith.1.in @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog.Debian.in ${_phonolith_gen}/changelog.Debian @ONLY)
find_program(GZIP_EXECUTABLE gzip REQUIRED)
set(_phonolith_gz)
foreach(_f phonolith.1 changelog.Debian)
  add_custom_command(OUTPUT ${_phonolith_gen}/${_f}.gz
    COMMAND ${GZIP_EXECUTABLE} -9nkf ${_phonolith_gen}/${_f}
    DEPENDS ${_phonolith_gen}/${_f}
    COMMENT "Compressing ${_f}")
  list(APPEND _phonolith_gz ${_phonolith_gen}/${_f}.gz)
endforeach()
add_custom_target(phonolith_docs ALL DEPENDS ${_phonolith_gz})
if(TARGET phonolith)
  add_dependencies(phonolith phonolith_docs)
endif()

install(FILES ${_phonolith_gen}/${PHONOLITH_APP_ID}.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${_phonolith_data}/icons/phonolith.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
  RENAME ${PHONOLITH_APP_ID}.svg)
foreach(_n IN LISTS PHONOLITH_ICON_SIZES)
  install(FILES ${_phonolith_data}/icons/phonolith-${_n}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${_n}x${_n}/apps
    RENAME ${PHONOLITH_APP_ID}.png)
endforeach()
install(CODE "
  set(PHONOLITH_GEN \"${_phonolith_gen}\")
  set(PHONOLITH_DATA \"${_phonolith_data}\")
  set(PHONOLITH_APP_ID ${PHONOLITH_APP_ID})
  set(PHONOLITH_INSTALL_DATADIR \"${CMAKE_INSTALL_DATADIR}\")
  set(PHONOLITH_INSTALL_MANDIR \"${CMAKE_INSTALL_MANDIR}\")
  set(GZIP_EXECUTABLE \"${GZIP_EXECUTABLE}\")")
install(SCRIPT ${PROJECT_SOURCE_DIR}/packaging/install-entries.cmake)
install(FILES ${PROJECT_SOURCE_DIR}/presets/data/microphones.dat DESTINATION ${CMAKE_INSTALL_DATADIR}/phonolith)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/phonolith
  RENAME copyright)
install(FILES ${_phonolith_gen}/changelog.Debian.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/phonolith)
# The one tag lintian gives that does not fit a package built outside Debian,
# with its reason (docs/packaging.md).
install(FILES ${PROJECT_SOURCE_DIR}/packaging/lintian-overrides
  DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME phonolith)

# A stripped install (CPack's, or `cmake --install --strip`) also drops the
# sections a program needs no more than its symbols: .comment (compiler
# versions) and .note, as Debian's dh_strip does.
if(TARGET phonolith)
  install(CODE "
    set(_bin \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/phonolith\")
    if(CMAKE_INSTALL_DO_STRIP AND EXISTS \"\${_bin}\")
      execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment --remove-section=.note \"\${_bin}\"
                      COMMAND_ERROR_IS_FATAL ANY)
    endif()")
endif()

# CPack: one .deb holding the program and the files above. Without the
# program (ui/ left out of PHONOLITH_PARTS, or no Qt) there is nothing to ship.
if(TARGET phonolith)
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGE_NAME phonolith)
  set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
  set(CPACK_PACKAGE_VENDOR "The Phonolith developers")
  set(CPACK_PACKAGE_CONTACT "${PHONOLITH_MAINTAINER}")
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${PHONOLITH_MAINTAINER}")
  if(NOT PHONOLITH_HOMEPAGE STREQUAL "")
    set(CPACK_PACKAGE_HOMEPAGE_URL "${PHONOLITH_HOMEPAGE}")
  endif()
  set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "calculator for microphone levels")
  set(CPACK_PACKAGE_DESCRIPTION
    "Phonolith converts a microphone's sensitivity, self-noise and maximum level\n"
    "into their sibling units (mV, dBu, dBV, dBFS, dB SPL, pascal), works out the\n"
    "microphone and amplifier output for a sound source and shows the result as a\n"
    "summary line, a level bar and a level diagram.")
  string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
  set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_STRIP_FILES ON)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
  set(CPACK_DEBIAN_PACKAGE_SECTION sound)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  # dpkg-shlibdeps finds the libraries the program links: Qt 6 Widgets, Gui and
  # Core and the C++ runtime. On Debian 12 libqt6gui6 also carries the xcb
  # platform plugin the program runs on (qt6-qpa-plugins holds only the vnc
  # one), so no plugin package is needed; native Wayland comes with qt6-wayland,
  # without it Qt uses xcb through XWayland. The fonts are asked for by name and
  # loaded at run time, out of dpkg-shlibdeps' sight: Liberation stands in for
  # Arial and Courier New, and Tahoma is the one fonts-wine ships.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2, fonts-wine")
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
  include(CPack)
endif()

# The desktop tests live with the other tests but do not belong to a folder
# of PHONOLITH_PARTS, so they are added here.
if(PHONOLITH_TESTS AND NOT "desktop" IN_LIST PHONOLITH_PARTS)
  add_subdirectory(${PROJECT_SOURCE_DIR}/tests/desktop ${PROJECT_BINARY_DIR}/tests/desktop)
endif()
