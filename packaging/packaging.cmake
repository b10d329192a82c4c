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
# Strip leaves the compiler's .comment notes, which Debian drops too.
install(CODE "if(CMAKE_INSTALL_DO_STRIP)
  execute_process(COMMAND ${CMAKE_OBJCOPY} --remove-section=.comment --remove-section=.note
    \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/vialoom\" COMMAND_ERROR_IS_FATAL ANY)
endif()")
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

# The software centres' metadata, its releases taken from CHANGELOG.md.
set(vialoom_release_lines "")
foreach(release ${vialoom_releases})
  string(REGEX REPLACE "^## \\[([^]]+)\\] - ([0-9-]+).*" "<release version=\"\\1\" date=\"\\2\"/>"
         release "${release}")
  string(APPEND vialoom_release_lines "${release}\n    ")
endforeach()
string(STRIP "${vialoom_release_lines}" vialoom_release_lines)
set(vialoom_metainfo_source ${CMAKE_CURRENT_LIST_DIR}/io.github.vialoom.metainfo.xml)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${vialoom_metainfo_source})
file(READ ${vialoom_metainfo_source} vialoom_metainfo)
string(REPLACE "<!-- releases -->" "${vialoom_release_lines}" vialoom_metainfo "${vialoom_metainfo}")
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/io.github.vialoom.metainfo.xml CONTENT "${vialoom_metainfo}" @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/io.github.vialoom.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The copyright file and the changelog every Debian package carries.
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Vialoom developers <vialoom@example.org>")
set(VIALOOM_DEBIAN_CHANGELOG ${CMAKE_BINARY_DIR}/changelog.gz)
add_custom_command(OUTPUT ${VIALOOM_DEBIAN_CHANGELOG}
  COMMAND ${CMAKE_CURRENT_LIST_DIR}/debian-changelog ${PROJECT_SOURCE_DIR}/CHANGELOG.md vialoom
          ${CPACK_DEBIAN_PACKAGE_MAINTAINER} ${VIALOOM_DEBIAN_CHANGELOG}
  DEPENDS ${CMAKE_CURRENT_LIST_DIR}/debian-changelog ${PROJECT_SOURCE_DIR}/CHANGELOG.md
  COMMENT "Writing the Debian changelog from CHANGELOG.md" VERBATIM)
add_custom_target(vialoom_debian_changelog ALL DEPENDS ${VIALOOM_DEBIAN_CHANGELOG})
install(FILES ${VIALOOM_DEBIAN_CHANGELOG} ${CMAKE_CURRENT_LIST_DIR}/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vialoom)
set(CPACK_PACKAGE_VENDOR "Vialoom developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "A* route finding on a graph drawn with the mouse")
set(CPACK_PACKAGE_DESCRIPTION
    "Vialoom shows A* route finding on a graph of points in the plane.\n\
Place and link points with the mouse, generate a random map or a lattice,\n\
or open a map file (Vialoom's own .vmap, Moving AI grids, OpenStreetMap\n\
roads, DIMACS road graphs), then pick a start and a goal to see the\n\
cheapest route drawn. A search view shows what A*, Dijkstra and greedy\n\
best-first explored; commands route, check and convert maps without a\n\
window.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://vialoom.github.io/vialoom/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)

if(BUILD_TESTING)
  # What the package holds and declares, judged by lintian, appstreamcli and
  # desktop-file-validate as well.
  add_test(NAME DebianPackage.HoldsEverythingAndLintianFindsNoFault
           COMMAND ${CMAKE_CURRENT_LIST_DIR}/check-package ${CMAKE_BINARY_DIR} ${PROJECT_VERSION})
  set_tests_properties(DebianPackage.HoldsEverythingAndLintianFindsNoFault PROPERTIES LABELS package TIMEOUT 300)
endif()
