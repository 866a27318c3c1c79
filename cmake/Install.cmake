# What `cmake --install` puts where, and the Debian package CPack makes of it
# (`cpack -G DEB` in the build folder gives vantrel_VERSION_ARCH.deb).
include(GNUInstallDirs)
set(VANTREL_PACKAGING ${PROJECT_SOURCE_DIR}/packaging)
set(VANTREL_DOCDIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/vantrel)

install(TARGETS vantrel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(VANTREL_GUI)
  # `vantrel` without arguments runs this one from its own folder.
  install(TARGETS vantrel-desktop RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

# Debian wants the manual page and the changelog compressed, with no time stamp inside, so that
# the same sources give the same package.
find_program(GZIP gzip REQUIRED)
add_custom_command(OUTPUT packaging/vantrel.1
  COMMAND ${CMAKE_COMMAND} -DVANTREL=$<TARGET_FILE:vantrel> -DSOURCE=${VANTREL_PACKAGING}/vantrel.1
    -DOUTPUT=${CMAKE_CURRENT_BINARY_DIR}/packaging/vantrel.1 -DPROJECT_VERSION=${PROJECT_VERSION}
    -P ${PROJECT_SOURCE_DIR}/cmake/ManPage.cmake
  DEPENDS vantrel ${VANTREL_PACKAGING}/vantrel.1 ${PROJECT_SOURCE_DIR}/cmake/ManPage.cmake)
configure_file(${VANTREL_PACKAGING}/vantrel-desktop.1 packaging/vantrel-desktop.1 @ONLY)
configure_file(${VANTREL_PACKAGING}/changelog packaging/changelog COPYONLY)
foreach(file vantrel.1 vantrel-desktop.1 changelog)
  add_custom_command(OUTPUT packaging/${file}.gz
    COMMAND ${GZIP} -9nfk ${file}
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/packaging
    DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/packaging/${file})
endforeach()
add_custom_target(vantrel_compressed_docs ALL
  DEPENDS packaging/vantrel.1.gz packaging/vantrel-desktop.1.gz packaging/changelog.gz)

install(FILES ${CMAKE_CURRENT_BINARY_DIR}/packaging/vantrel.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${VANTREL_PACKAGING}/vantrel.bash-completion
  DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/bash-completion/completions RENAME vantrel)
install(FILES ${VANTREL_PACKAGING}/copyright ${CMAKE_CURRENT_BINARY_DIR}/packaging/changelog.gz
  DESTINATION ${VANTREL_DOCDIR})
if(VANTREL_GUI)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/packaging/vantrel-desktop.1.gz
    DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${VANTREL_PACKAGING}/vantrel.desktop DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)
  install(FILES ${VANTREL_PACKAGING}/vantrel.svg DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/scalable/apps)
  # The desktop program's help pages (built into its Help window too), readable without it.
  file(GLOB VANTREL_HELP_PAGES ${PROJECT_SOURCE_DIR}/src/gui/info/help/*.html)
  install(FILES ${VANTREL_HELP_PAGES} DESTINATION ${VANTREL_DOCDIR}/html)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vantrel)
set(CPACK_PACKAGE_VENDOR "The Vantrel developers")
set(CPACK_PACKAGE_CONTACT "Vantrel developers <packaging@vantrel.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "convert Falling Weight Deflectometer files to AASHTO PDDX")
# CPack puts the summary first; this is the long description after it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Vantrel reads the files of Falling Weight Deflectometer (FWD) field programs
(KUAB, Carl Bro, Dynatest F25 and F20, JILS data and configuration files, and
PDDX itself) and turns them into AASHTO PDDX (.DDX) text with the
device-configuration and calibration entries that FWD calibration needs.

It has a desktop program to review and complete the documents, and a command
line for unattended conversions, merges and whole folders.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS bash-completion)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)
