# What `cmake --install` puts where, and the Debian package made of it (cpack -G DEB).
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
# Every file in data/ ships, so a data file added later needs no line here.
install(TARGETS zorvan-config zorvan-cli zorvan-vpanel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/ DESTINATION ${ZORVAN_INSTALL_DATA})
install(FILES ${PROJECT_SOURCE_DIR}/dist/zorvan-config.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/dist/zorvan-config.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# Manual pages and the Debian changelog go compressed, reproducibly (no name or time in gzip).
find_program(ZORVAN_GZIP gzip REQUIRED)
set(zorvan_compressed)
foreach(page zorvan-config zorvan-cli zorvan-vpanel)
  set(out ${PROJECT_BINARY_DIR}/dist/${page}.1.gz)
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/dist
    COMMAND ${ZORVAN_GZIP} -9nc ${PROJECT_SOURCE_DIR}/dist/man/${page}.1 > ${out}
    DEPENDS ${PROJECT_SOURCE_DIR}/dist/man/${page}.1 VERBATIM)
  list(APPEND zorvan_compressed ${out})
  install(FILES ${out} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
# A native package: its changelog is changelog.gz.
set(zorvan_changelog ${PROJECT_BINARY_DIR}/dist/changelog.gz)
add_custom_command(OUTPUT ${zorvan_changelog}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/dist
  COMMAND ${ZORVAN_GZIP} -9nc ${PROJECT_SOURCE_DIR}/dist/changelog > ${zorvan_changelog}
  DEPENDS ${PROJECT_SOURCE_DIR}/dist/changelog VERBATIM)
add_custom_target(zorvan_dist_files ALL DEPENDS ${zorvan_compressed} ${zorvan_changelog})
set(zorvan_doc ${CMAKE_INSTALL_DATADIR}/doc/zorvan-config)
install(FILES ${PROJECT_SOURCE_DIR}/dist/copyright ${zorvan_changelog} DESTINATION ${zorvan_doc})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zorvan-config)
set(CPACK_PACKAGE_VENDOR "Zorvan")
set(CPACK_PACKAGE_CONTACT "Zorvan maintainers <maintainers@users.noreply.c-seed-b02b0d5e.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configuration program of the Zorvan GSM/GPRS alarm panel")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Installers use it to configure a Zorvan GSM/GPRS security alarm panel\n"
    "over the programming cable on a serial port or through a GSM modem data\n"
    "call: read, edit and write the panel's settings page by page; save, load\n"
    "and compare whole configurations; read the event log; flash firmware.\n"
    "\n"
    "The package holds the windowed program zorvan-config, the command-line\n"
    "tool zorvan-cli and the virtual panel zorvan-vpanel, with which the\n"
    "program can be tried without a panel.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://zorvan.example/")
# Library dependencies come from dpkg-shlibdeps; Qt's platform plugins are loaded at run time,
# so no library names them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
