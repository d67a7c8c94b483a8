# A per-user install (prefix ~/.local unless told otherwise):
#   <prefix>/lib/tavanote/            the program folder: tavanote, aide.qch, and messages.fdm made when none exists
#   <prefix>/bin/tavanote             a link to the executable, so the program folder stays the executable's folder
#   <prefix>/share/applications/tavanote.desktop and the icon in <prefix>/share/icons/hicolor
# `make uninstall` (cmake/Uninstall.cmake) removes what install_manifest.txt lists; messages.fdm is never listed.
if(CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT AND DEFINED ENV{HOME})
    set(CMAKE_INSTALL_PREFIX "$ENV{HOME}/.local" CACHE PATH "Install prefix" FORCE)
endif()
include(GNUInstallDirs)
# Everything below but the messages file belongs to the program, installed alike by `make install` and the package.
set(CMAKE_INSTALL_DEFAULT_COMPONENT_NAME program)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(TAVANOTE_PROGRAM_DIR ${CMAKE_INSTALL_LIBDIR}/tavanote)

install(TARGETS tavanote RUNTIME DESTINATION ${TAVANOTE_PROGRAM_DIR})
install(FILES ${TAVANOTE_HELP_FILE} DESTINATION ${TAVANOTE_PROGRAM_DIR})

# The command on the PATH: a relative link, made in the build folder and installed as a link.
file(RELATIVE_PATH link_target "/prefix/${CMAKE_INSTALL_BINDIR}" "/prefix/${TAVANOTE_PROGRAM_DIR}/tavanote")
set(link_folder ${CMAKE_BINARY_DIR}/install-link)
file(MAKE_DIRECTORY ${link_folder})
file(CREATE_LINK ${link_target} ${link_folder}/tavanote SYMBOLIC)
install(FILES ${link_folder}/tavanote DESTINATION ${CMAKE_INSTALL_BINDIR})

foreach(size IN LISTS TAVANOTE_ICON_SIZES)
    install(FILES ${TAVANOTE_ICON_FOLDER}/${size}x${size}/apps/tavanote.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${TAVANOTE_ICON_SVG} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# The menu entry names the installed executable by its full path, known only once the prefix is.
install(CODE "
    set(TAVANOTE_DESKTOP_TEMPLATE \"${CMAKE_SOURCE_DIR}/resources/tavanote.desktop.in\")
    set(TAVANOTE_DESKTOP_STAGING \"${CMAKE_BINARY_DIR}/install-desktop\")
    set(TAVANOTE_PROGRAM \"\${CMAKE_INSTALL_PREFIX}/${TAVANOTE_PROGRAM_DIR}/tavanote\")
    set(TAVANOTE_DESKTOP_DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/applications\")
    include(\"${CMAKE_SOURCE_DIR}/cmake/InstallDesktopEntry.cmake\")")

# An empty message file in the program folder, only when none is there: tavanote_mkstore never touches an existing
# file, so reinstalling or upgrading keeps every message. The file is not in the manifest: uninstalling keeps it.
# The package leaves it out (cmake/Package.cmake).
install(CODE "
    set(message_file \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${TAVANOTE_PROGRAM_DIR}/messages.fdm\")
    execute_process(COMMAND \"$<TARGET_FILE:tavanote_mkstore>\" \"\${message_file}\" RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR \"Impossible de créer \${message_file}\")
    endif()"
    COMPONENT message_file)
