# Installed layout and the Debian package (cpack -G DEB).
#
# The program, kelvora-cli, the simulator and the files the program reads
# beside its executable all lie in one folder, KELVORA_INSTALL_DIR (their
# install() calls stand next to their targets); the commands in bin are
# relative symlinks into it. Qt finds the executable's folder through
# /proc/self/exe, so a program started through its link still finds its files.

# Relative symlinks, made in the build tree and installed as links.
set(KELVORA_LINK_DIR ${CMAKE_BINARY_DIR}/install-links)
file(MAKE_DIRECTORY ${KELVORA_LINK_DIR})
foreach(pair kelvora:kelvora kelvora-cli:kelvora-cli thermometer-sim:kelvora-thermometer-sim)
  string(REPLACE ":" ";" pair ${pair})
  list(GET pair 0 target)
  list(GET pair 1 command)
  file(CREATE_LINK ../${KELVORA_INSTALL_DIR}/${target} ${KELVORA_LINK_DIR}/${command} SYMBOLIC)
  install(FILES ${KELVORA_LINK_DIR}/${command} DESTINATION bin)
endforeach()

# Desktop menu entry, its icon, and the AppStream description from which
# software centres list the program (its id names the desktop entry).
install(FILES ${PROJECT_SOURCE_DIR}/resources/org.example.kelvora.desktop DESTINATION share/applications)
install(FILES ${PROJECT_SOURCE_DIR}/resources/kelvora.svg DESTINATION share/icons/hicolor/scalable/apps)
install(FILES ${PROJECT_SOURCE_DIR}/resources/org.example.kelvora.metainfo.xml DESTINATION share/metainfo)

# Manual pages and the changelog, compressed as Debian keeps them (-n: no name
# or time stamp, so that the same text gives the same bytes).
find_program(GZIP gzip REQUIRED)
set(KELVORA_COMPRESSED)
foreach(pair docs/kelvora.1:man/kelvora.1 docs/kelvora-cli.1:man/kelvora-cli.1
        docs/kelvora-thermometer-sim.1:man/kelvora-thermometer-sim.1 cmake/debian/changelog:doc/changelog)
  string(REPLACE ":" ";" pair ${pair})
  list(GET pair 0 source)
  list(GET pair 1 copy)
  set(copy ${CMAKE_BINARY_DIR}/${copy})
  add_custom_command(OUTPUT ${copy}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/${source} ${copy}
    COMMAND ${GZIP} -9nf ${copy}
    DEPENDS ${PROJECT_SOURCE_DIR}/${source}
    COMMENT "Compressing ${source}"
    VERBATIM)
  list(APPEND KELVORA_COMPRESSED ${copy}.gz)
endforeach()
add_custom_target(kelvora_compressed_docs ALL DEPENDS ${KELVORA_COMPRESSED})
list(FILTER KELVORA_COMPRESSED INCLUDE REGEX "/man/")
install(FILES ${KELVORA_COMPRESSED} DESTINATION share/man/man1)
install(FILES ${CMAKE_BINARY_DIR}/doc/changelog.gz ${PROJECT_SOURCE_DIR}/cmake/debian/copyright
  DESTINATION share/doc/kelvora)
install(FILES ${PROJECT_SOURCE_DIR}/cmake/debian/lintian-overrides DESTINATION share/lintian/overrides
  RENAME kelvora)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kelvora)
set(CPACK_PACKAGE_VENDOR Kelvora)
set(CPACK_PACKAGE_CONTACT "Kelvora developers <kelvora@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "data logger for hand-held infrared thermometers")
# Lines of the long description, wrapped as Debian shows them.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "Kelvora reads hand-held infrared thermometers over a serial line: it logs"
  "live readings with alarms, downloads the readings stored in the"
  "thermometer, shows and compares log files, and exports them as"
  "spreadsheets and printed data sheets. kelvora-cli does the same from"
  "scripts and on machines without a display; kelvora-thermometer-sim plays"
  "a thermometer on a pseudo-terminal.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://kelvora.example.org/)
# Libraries the executables link come from dpkg-shlibdeps, and with them the
# plugins their packages hold (image formats, the xcb platform, printing);
# the plugins Qt loads at run time from other packages are declared here:
# the SQLite driver of the database and the further platform plugins.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, qt6-qpa-plugins")
include(CPack)
