# The Debian package (`make deb`, CPack's DEB generator): the program system-wide under /usr.
#   /usr/lib/tavanote/           the program folder: tavanote and aide.qch, no messages file (each user's
#                                messages go to ~/.local/share/Tavanote/, the folder being read-only to users)
#   /usr/bin/tavanote            a link to the executable
#   /usr/share/applications, icons/hicolor, metainfo, man/man1, doc/tavanote (copyright, changelog)
# The package installs the components "program" and "package"; a plain install (`make install`) takes
# "program" and "message_file" (the empty messages.fdm of its program folder), never "package".

# Files only the package carries.
set(package_staging ${CMAKE_BINARY_DIR}/package-files)
set(package_gzipped ${package_staging}/changelog.gz ${package_staging}/tavanote.1.gz)
add_custom_command(
    OUTPUT ${package_gzipped}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${package_staging}
    COMMAND sh -c "gzip -9n -c \"$0\" > \"$1\"" ${CMAKE_SOURCE_DIR}/resources/debian/changelog
            ${package_staging}/changelog.gz
    COMMAND sh -c "gzip -9n -c \"$0\" > \"$1\"" ${CMAKE_SOURCE_DIR}/resources/debian/tavanote.1
            ${package_staging}/tavanote.1.gz
    DEPENDS ${CMAKE_SOURCE_DIR}/resources/debian/changelog ${CMAKE_SOURCE_DIR}/resources/debian/tavanote.1
    COMMENT "Journal et page de manuel du paquet"
    VERBATIM)
add_custom_target(package_files ALL DEPENDS ${package_gzipped})

install(FILES ${CMAKE_SOURCE_DIR}/resources/org.example.tavanote.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT package EXCLUDE_FROM_ALL)
install(FILES ${CMAKE_SOURCE_DIR}/resources/debian/copyright ${package_staging}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tavanote COMPONENT package EXCLUDE_FROM_ALL)
install(FILES ${package_staging}/tavanote.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT package EXCLUDE_FROM_ALL)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tavanote)
set(CPACK_PACKAGE_VENDOR "The Tavanote developers")
set(CPACK_PACKAGE_CONTACT "The Tavanote developers <contact@tavanote.example.org>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop reminder showing messages as sticky notes")
set(CPACK_PACKAGE_DESCRIPTION
    "Tavanote keeps messages (a title, a text, a date and a time, once or
periodic) and opens each one on screen as a small coloured note when it falls
due. It lives in the notification area; its main window lists, prints, exports
and imports the messages. Reminders missed while the computer was off open
late. The windows speak French. Each user's messages are kept in
~/.local/share/Tavanote/.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://tavanote.example.org")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so no library link tells: the SVG icon, and the help file's SQLite driver.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6, libqt6sql6-sqlite")
# Qt's French texts for the standard buttons and dialogs ("Oui", "Annuler").
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_PREFIX /usr)
# The install runs with DESTDIR, so the menu entry names /usr/lib/tavanote/tavanote, not the staging folder.
set(CPACK_SET_DESTDIR ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};Tavanote;program;/;${CMAKE_BINARY_DIR};Tavanote;package;/")
include(CPack)
