# Writes the menu entry for the installed executable TAVANOTE_PROGRAM and installs it (so the manifest lists it).
# Exec takes the path quoted as desktop entries require: inside double quotes '"', '`', '$' and '\' take a
# backslash, then the string's own escaping doubles every backslash, and '%' is doubled.
set(exec "${TAVANOTE_PROGRAM}")
string(REPLACE "\\" "\\\\" exec "${exec}")
foreach(special "\"" "`" "$")
    string(REPLACE "${special}" "\\${special}" exec "${exec}")
endforeach()
string(REPLACE "\\" "\\\\" exec "${exec}")
string(REPLACE "%" "%%" exec "${exec}")
set(TAVANOTE_DESKTOP_EXEC "\"${exec}\"")
string(REPLACE "\\" "\\\\" TAVANOTE_DESKTOP_TRYEXEC "${TAVANOTE_PROGRAM}")
configure_file("${TAVANOTE_DESKTOP_TEMPLATE}" "${TAVANOTE_DESKTOP_STAGING}/tavanote.desktop" @ONLY)
file(INSTALL "${TAVANOTE_DESKTOP_STAGING}/tavanote.desktop" DESTINATION "${TAVANOTE_DESKTOP_DESTINATION}")
