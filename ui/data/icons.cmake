# Compiles the program icon into the ui library as a small hicolor icon theme
# under :/icons/hicolor, the fallback folder Qt searches for theme icons. The
# window icon is then QIcon::fromTheme("org.phonolith.Phonolith"): an
# installed icon theme may replace it, and without one every PNG size of our
# own is there (the hand-drawn 16 px one included).
# Included from ui/CMakeLists.txt after the ui target is made.
set(_phonolith_icon_dir ${CMAKE_CURRENT_LIST_DIR})
set(_phonolith_icon_files ${_phonolith_icon_dir}/index.theme)
set_source_files_properties(${_phonolith_icon_dir}/index.theme
  PROPERTIES QT_RESOURCE_ALIAS index.theme)
foreach(_n 16 32 48 64 128 256)
  set(_png ${_phonolith_icon_dir}/icons/phonolith-${_n}.png)
  set_source_files_properties(${_png}
    PROPERTIES QT_RESOURCE_ALIAS ${_n}x${_n}/apps/org.phonolith.Phonolith.png)
  list(APPEND _phonolith_icon_files ${_png})
endforeach()
qt_add_resources(ui phonolith_icons PREFIX /icons/hicolor FILES ${_phonolith_icon_files})
