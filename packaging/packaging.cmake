# Installation of velmora-replay and its Debian package (CPack's DEB
# generator): the program, its man page and the licence. The country file
# comes from Debian's hamradio-files package.
include(GNUInstallDirs)
# A package needs only the tool and its page, not the tests.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(velmora_man_gz ${PROJECT_BINARY_DIR}/packaging/velmora-replay.1.gz)
set(velmora_check_man_gz ${PROJECT_BINARY_DIR}/packaging/velmora-check.1.gz)
add_custom_command(
  OUTPUT ${velmora_man_gz} ${velmora_check_man_gz}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/packaging
  COMMAND gzip -9nc ${PROJECT_SOURCE_DIR}/docs/velmora-replay.1 > ${velmora_man_gz}
  COMMAND gzip -9nc ${PROJECT_SOURCE_DIR}/docs/velmora-check.1 > ${velmora_check_man_gz}
  DEPENDS ${PROJECT_SOURCE_DIR}/docs/velmora-replay.1 ${PROJECT_SOURCE_DIR}/docs/velmora-check.1
  VERBATIM)
add_custom_target(velmora_man_page ALL DEPENDS ${velmora_man_gz} ${velmora_check_man_gz})

# The package also carries the organisers' log check.
install(TARGETS velmora-replay velmora-check RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${velmora_man_gz} ${velmora_check_man_gz} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/velmora-replay RENAME copyright)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velmora-replay)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "the velmora developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "Replays a contest log through the Velmora Memorial Contest HF statistics")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Reads an ADIF or Cabrillo log and drives the contest-statistics plug-in's
entry points the way the host logger does: score table, result page,
Cabrillo export and a contest report as one HTML page. Also velmora-check,
the organisers' check of every entrant's log against the others.")
set(CPACK_DEBIAN_PACKAGE_SECTION hamradio)
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE amd64)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "hamradio-files")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_OUTPUT_FILE_PREFIX ${PROJECT_BINARY_DIR}/packages)
include(CPack)
