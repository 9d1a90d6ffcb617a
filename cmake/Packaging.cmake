# The Debian package: `cpack -G DEB` in the build tree (scripts/package does it all).

set(CPACK_PACKAGE_NAME tallyglass)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Tallyglass developers")
set(CPACK_PACKAGE_CONTACT "Tallyglass developers <tallyglass@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "network traffic meter with a live graph")
set(CPACK_PACKAGE_DESCRIPTION
    "Tallyglass reads the byte counters of the network interfaces and shows
the download and upload speeds as an animated graph (scrolling lines, bars
or a dial) in a small always-on-top window, with a tray icon whose picture
and tooltip follow the traffic. It keeps a per-day traffic history with a
statistics window and chart, a monthly quota that makes the graph blink a
warning, a traffic stopwatch, and can upload an HTML statistics page by FTP.")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # tallyglass_<version>_<arch>.deb
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://github.com/tallyglass/tallyglass)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The X platform plugin, software GL (what every X server can show) and a font for the graph's texts;
# a browser for the help page is welcome but not needed, and so are Qt's own translations (the
# standard buttons and dialogs in the user's language, as the program's own texts are).
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libgl1-mesa-dri, fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "gnome-shell-extension-appindicator")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

# Debian wants a copyright file and a compressed changelog in the package's doc folder.
set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/tallyglass)
set(changelog_gz ${CMAKE_BINARY_DIR}/debian/changelog.gz)
add_custom_command(OUTPUT ${changelog_gz}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/debian
    COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/packaging/changelog
            ${CMAKE_BINARY_DIR}/debian/changelog
    COMMAND ${GZIP_PROGRAM} -9 -n -f ${CMAKE_BINARY_DIR}/debian/changelog
    DEPENDS ${PROJECT_SOURCE_DIR}/packaging/changelog
    VERBATIM)
add_custom_target(tallyglass_changelog ALL DEPENDS ${changelog_gz})
install(FILES ${changelog_gz} DESTINATION ${doc_dir})
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright DESTINATION ${doc_dir})

include(CPack)
