# Install layout and the Debian package (cpack -G DEB in the build tree).
include(GNUInstallDirs)

# The manual page, written at build time from the tables behind --help and
# the help overlay and the prose of vialoom.1.in; dated by the newest release
# in CHANGELOG.md, so that building it again gives the same bytes.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/CHANGELOG.md)
file(STRINGS ${PROJECT_SOURCE_DIR}/CHANGELOG.md vialoom_releases REGEX "^## \\[[0-9]")
list(GET vialoom_releases 0 vialoom_newest_release)
string(REGEX MATCH "[0-9]+-[0-9]+-[0-9]+" VIALOOM_RELEASE_DATE "${vialoom_newest_release}")
add_executable(vialoom_manpage ${CMAKE_CURRENT_LIST_DIR}/manual_page_main.cpp)
target_link_libraries(vialoom_manpage PRIVATE vialoom_logic)
set(VIALOOM_MANUAL_PAGE ${CMAKE_BINARY_DIR}/vialoom.1)
add_custom_command(OUTPUT ${VIALOOM_MANUAL_PAGE} ${VIALOOM_MANUAL_PAGE}.gz
  COMMAND vialoom_manpage ${CMAKE_CURRENT_LIST_DIR}/vialoom.1.in ${PROJECT_VERSION}
          ${VIALOOM_RELEASE_DATE} ${VIALOOM_MANUAL_PAGE}
  COMMAND gzip -9nkf ${VIALOOM_MANUAL_PAGE}
  DEPENDS vialoom_manpage ${CMAKE_CURRENT_LIST_DIR}/vialoom.1.in ${PROJECT_SOURCE_DIR}/CHANGELOG.md
  COMMENT "Writing the manual page vialoom.1" VERBATIM)
add_custom_target(vialoom_manual ALL DEPENDS ${VIALOOM_MANUAL_PAGE})
install(FILES ${VIALOOM_MANUAL_PAGE}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

install(TARGETS vialoom RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_CURRENT_LIST_DIR}/vialoom.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/vialoom-mime.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME vialoom.xml)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/vialoom.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
# Where bash-completion and Debian's zsh look for a command's completion.
install(FILES ${CMAKE_CURRENT_LIST_DIR}/vialoom.bash
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME vialoom)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/_vialoom
        DESTINATION ${CMAKE_INSTALL_DATADIR}/zsh/vendor-completions)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vialoom)
set(CPACK_PACKAGE_VENDOR "Vialoom developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "A* route finding on a graph drawn with the mouse")
set(CPACK_PACKAGE_DESCRIPTION
    "Vialoom shows A* route finding on a small graph of points in the plane.\n\
Place and link points with the mouse, or generate a random map or a\n\
lattice, then pick a start and a goal to see the cheapest route drawn.")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Vialoom developers <vialoom@example.org>")
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)

if(BUILD_TESTING)
  add_test(NAME DebianPackage.HoldsProgramEntryAndIcon
           COMMAND ${CMAKE_CURRENT_LIST_DIR}/check-package ${CMAKE_BINARY_DIR} ${PROJECT_VERSION})
  set_tests_properties(DebianPackage.HoldsProgramEntryAndIcon PROPERTIES LABELS package TIMEOUT 120)
endif()
