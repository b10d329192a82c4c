# Install layout and the Debian package (cpack -G DEB in the build tree).
include(GNUInstallDirs)

install(TARGETS vialoom RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_CURRENT_LIST_DIR}/vialoom.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/vialoom-mime.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME vialoom.xml)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/vialoom.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

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
