# Desktop integration and the Debian package.
#
# Install layout (below CMAKE_INSTALL_PREFIX; /usr in the package):
#   bin/phonolith                                          (ui/CMakeLists.txt)
#   share/applications/org.phonolith.Phonolith.desktop     launcher entry
#   share/metainfo/org.phonolith.Phonolith.metainfo.xml    AppStream metadata
#   share/icons/hicolor/scalable/apps/org.phonolith.Phonolith.svg
#   share/icons/hicolor/NxN/apps/org.phonolith.Phonolith.png (N = 16 ... 256)
#   share/doc/phonolith/copyright                          the licence
#
# Build the package with `cpack -G DEB` in a build folder (docs/packaging.md).
# Included last from the top-level CMakeLists.txt.

include(GNUInstallDirs)

set(PHONOLITH_APP_ID org.phonolith.Phonolith)
set(PHONOLITH_ICON_SIZES 16 32 48 64 128 256)
set(_phonolith_data ${PROJECT_SOURCE_DIR}/ui/data)

install(FILES ${_phonolith_data}/${PHONOLITH_APP_ID}.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${_phonolith_data}/${PHONOLITH_APP_ID}.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${_phonolith_data}/icons/phonolith.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
  RENAME ${PHONOLITH_APP_ID}.svg)
foreach(_n IN LISTS PHONOLITH_ICON_SIZES)
  install(FILES ${_phonolith_data}/icons/phonolith-${_n}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${_n}x${_n}/apps
    RENAME ${PHONOLITH_APP_ID}.png)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/phonolith
  RENAME copyright)

# CPack: one .deb holding the program and the files above. Without the
# program (ui/ left out of PHONOLITH_PARTS, or no Qt) there is nothing to ship.
if(TARGET phonolith)
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGE_NAME phonolith)
  set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
  set(CPACK_PACKAGE_VENDOR "The Phonolith developers")
  set(CPACK_PACKAGE_CONTACT "The Phonolith developers")
  set(CPACK_PACKAGE_HOMEPAGE_URL "https://phonolith.org/")
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
