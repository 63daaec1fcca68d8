# Run by cmake --install: makes the menu entry, the autostart entry and the command that switches
# autostart for the prefix being installed into, and installs them (file(INSTALL) puts them
# under DESTDIR when that is set).
set(prefix "${CMAKE_INSTALL_PREFIX}")
set(TOLLMERE_EXEC "${prefix}/${TOLLMERE_BINDIR}/tollmere")
# The desktop's launcher splits Exec at spaces and treats a few more characters specially: a
# path holding any of them is quoted, with " ` $ \ escaped by a backslash. The value is then a
# string of the entry file, whose own escaping doubles every backslash again, and a % would
# start a field code, so a literal one is written %%.
if(TOLLMERE_EXEC MATCHES "[] \t\n\"'\\\\><~|&;$*?#()`[]")
  string(REGEX REPLACE "([\"`$\\\\])" "\\\\\\1" quoted "${TOLLMERE_EXEC}")
  set(TOLLMERE_EXEC "\"${quoted}\"")
endif()
string(REPLACE "\\" "\\\\" TOLLMERE_EXEC "${TOLLMERE_EXEC}")
string(REPLACE "\n" "\\n" TOLLMERE_EXEC "${TOLLMERE_EXEC}")
string(REPLACE "\t" "\\t" TOLLMERE_EXEC "${TOLLMERE_EXEC}")
string(REPLACE "%" "%%" TOLLMERE_EXEC "${TOLLMERE_EXEC}")
# For the shell, in single quotes, where nothing is special but the quote itself: ' is written '\''.
set(entry "${prefix}/${TOLLMERE_DATADIR}/tollmere/tollmere-autostart.desktop")
string(REPLACE "'" "'\\''" entry "${entry}")
set(TOLLMERE_AUTOSTART_ENTRY "'${entry}'")

configure_file("${TOLLMERE_SOURCE}/tollmere.desktop.in" "${TOLLMERE_MADE}/tollmere.desktop" @ONLY)
configure_file("${TOLLMERE_SOURCE}/tollmere-autostart.desktop.in" "${TOLLMERE_MADE}/tollmere-autostart.desktop" @ONLY)
configure_file("${TOLLMERE_SOURCE}/tollmere-autostart.in" "${TOLLMERE_MADE}/tollmere-autostart" @ONLY)

file(INSTALL DESTINATION "${prefix}/${TOLLMERE_DATADIR}/applications" TYPE FILE
     FILES "${TOLLMERE_MADE}/tollmere.desktop")
file(INSTALL DESTINATION "${prefix}/${TOLLMERE_DATADIR}/tollmere" TYPE FILE
     FILES "${TOLLMERE_MADE}/tollmere-autostart.desktop")
file(INSTALL DESTINATION "${prefix}/${TOLLMERE_BINDIR}" TYPE PROGRAM
     FILES "${TOLLMERE_MADE}/tollmere-autostart")
