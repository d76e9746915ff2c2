# Install-time step (install(SCRIPT) from Packaging.cmake): the launcher entry
# and the gzipped manual page, naming the microphone library where this
# install puts it. Set before it runs: PHONOLITH_GEN, PHONOLITH_DATA,
# PHONOLITH_APP_ID, PHONOLITH_INSTALL_DATADIR, PHONOLITH_INSTALL_MANDIR and
# GZIP_EXECUTABLE.
if(IS_ABSOLUTE "${PHONOLITH_INSTALL_DATADIR}")
  set(_datadir "${PHONOLITH_INSTALL_DATADIR}")
else()
  set(_datadir "${CMAKE_INSTALL_PREFIX}/${PHONOLITH_INSTALL_DATADIR}")
endif()
if(IS_ABSOLUTE "${PHONOLITH_INSTALL_MANDIR}")
  set(_mandir "${PHONOLITH_INSTALL_MANDIR}")
else()
  set(_mandir "${CMAKE_INSTALL_PREFIX}/${PHONOLITH_INSTALL_MANDIR}")
endif()
set(PHONOLITH_LIBRARY_FILE "${_datadir}/phonolith/microphones.dat")
string(REPLACE "-" "\\-" PHONOLITH_LIBRARY_ROFF "${PHONOLITH_LIBRARY_FILE}")

set(_out "${PHONOLITH_GEN}/installed")
configure_file("${PHONOLITH_DATA}/${PHONOLITH_APP_ID}.desktop.in" "${_out}/${PHONOLITH_APP_ID}.desktop" @ONLY)
configure_file("${PHONOLITH_GEN}/phonolith.1.in" "${_out}/phonolith.1" @ONLY)
execute_process(COMMAND "${GZIP_EXECUTABLE}" -9nkf "${_out}/phonolith.1" COMMAND_ERROR_IS_FATAL ANY)

file(INSTALL DESTINATION "${_datadir}/applications" TYPE FILE FILES "${_out}/${PHONOLITH_APP_ID}.desktop")
file(INSTALL DESTINATION "${_mandir}/man1" TYPE FILE FILES "${_out}/phonolith.1.gz")
