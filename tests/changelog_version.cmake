# Fails unless CHANGELOG.md's newest release is the project's version, which
# --version, the package, the manual page and the web page all show.
#   cmake -DCHANGELOG=<CHANGELOG.md> -DVERSION=<project version> -P tests/changelog_version.cmake
file(STRINGS ${CHANGELOG} releases REGEX "^## \\[[0-9]")
if(NOT releases)
  message(FATAL_ERROR "${CHANGELOG}: no release heading '## [X.Y.Z] - YYYY-MM-DD'")
endif()
list(GET releases 0 newest)
if(NOT newest MATCHES "^## \\[([^]]+)\\] - [0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]$")
  message(FATAL_ERROR "${CHANGELOG}: '${newest}' is not '## [X.Y.Z] - YYYY-MM-DD'")
endif()
if(NOT CMAKE_MATCH_1 STREQUAL VERSION)
  message(FATAL_ERROR "${CHANGELOG}: the newest release is ${CMAKE_MATCH_1}, the project is ${VERSION}")
endif()
