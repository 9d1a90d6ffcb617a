# Everything but the program itself (src/app installs that): resources, desktop integration,
# documentation, in the places the filesystem conventions give them.

set(TALLYGLASS_APP_ID io.github.tallyglass.Tallyglass)
set(res ${PROJECT_SOURCE_DIR}/resources)

install(DIRECTORY ${res}/gfx DESTINATION ${CMAKE_INSTALL_DATADIR}/tallyglass)
install(FILES ${res}/TallyglassHelp.html DESTINATION ${CMAKE_INSTALL_DATADIR}/tallyglass)

install(FILES ${res}/desktop/tallyglass.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${res}/desktop/${TALLYGLASS_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

foreach(size 16 22 24 32 48 64 128 256)
    install(FILES ${res}/icons/app/tallyglass-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME tallyglass.png)
endforeach()
install(FILES ${res}/icons/app/tallyglass.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# Man pages are installed compressed, as Debian's policy asks.
find_program(GZIP_PROGRAM gzip REQUIRED)
set(man_gz ${CMAKE_BINARY_DIR}/man/tallyglass.1.gz)
add_custom_command(OUTPUT ${man_gz}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND ${CMAKE_COMMAND} -E copy ${res}/man/tallyglass.1 ${CMAKE_BINARY_DIR}/man/tallyglass.1
    COMMAND ${GZIP_PROGRAM} -9 -n -f ${CMAKE_BINARY_DIR}/man/tallyglass.1
    DEPENDS ${res}/man/tallyglass.1
    VERBATIM)
add_custom_target(tallyglass_man ALL DEPENDS ${man_gz})
install(FILES ${man_gz} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
