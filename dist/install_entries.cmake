# Run by cmake --install: makes the menu entry, the autostart entry and the command that switches
# autostart for the prefix being installed into, and installs them (file(INSTALL) puts them
# under DESTDIR when that is set).
set(prefix "${CMAKE_INSTALL_PREFIX}")
set(TOLLMERE_EXEC "${prefix}/${TOLLMERE_BINDIR}/tollmere")
# The desktop's launcher splits Exec at spaces and treats a few more characters specially: a
# path holding any of them is quoted, with " ` $ \ escaped.
if(TOLLMERE_EXEC MATCHES "[] \t\"'\\\\><~|&;$*?#()`[]")
  string(REGEX REPLACE "([\"`$\\\\])" "\\\\\\1" quoted "${TOLLMERE_EXEC}")
  set(TOLLMERE_EXEC "\"${quoted}\"")
endif()
set(TOLLMERE_AUTOSTART_ENTRY "${prefix}/${TOLLMERE_DATADIR}/tollmere/tollmere-autostart.desktop")

configure_file("${TOLLMERE_SOURCE}/tollmere.desktop.in" "${TOLLMERE_MADE}/tollmere.desktop" @ONLY)
configure_file("${TOLLMERE_SOURCE}/tollmere-autostart.desktop.in" "${TOLLMERE_MADE}/tollmere-autostart.desktop" @ONLY)
configure_file("${TOLLMERE_SOURCE}/tollmere-autostart.in" "${TOLLMERE_MADE}/tollmere-autostart" @ONLY)

file(INSTALL DESTINATION "${prefix}/${TOLLMERE_DATADIR}/applications" TYPE FILE
     FILES "${TOLLMERE_MADE}/tollmere.desktop")
file(INSTALL DESTINATION "${prefix}/${TOLLMERE_DATADIR}/tollmere" TYPE FILE
     FILES "${TOLLMERE_MADE}/tollmere-autostart.desktop")
file(INSTALL DESTINATION "${prefix}/${TOLLMERE_BINDIR}" TYPE PROGRAM
     FILES "${TOLLMERE_MADE}/tollmere-autostart")
