# What `cmake --install` puts where.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
# Every file in data/ ships, so a data file added later needs no line here.
install(TARGETS zorvan-config zorvan-cli zorvan-vpanel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/ DESTINATION ${ZORVAN_INSTALL_DATA})
install(FILES ${PROJECT_SOURCE_DIR}/dist/zorvan-config.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/dist/zorvan-config.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# Manual pages go compressed, reproducibly (no name or time in gzip).
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
add_custom_target(zorvan_dist_files ALL DEPENDS ${zorvan_compressed})
