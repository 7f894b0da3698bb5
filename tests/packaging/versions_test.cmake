# Every place that states the release names the project's version: the
# Debian changelog's latest entry (with the package's revision), the latest
# release of the AppStream metadata and the manual pages' footers.
#
# cmake -DVERSION=2.1.0 -DREVISION=1 -DSOURCE_DIR=... -P versions_test.cmake

set(failures "")

file(STRINGS "${SOURCE_DIR}/packaging/changelog" first LIMIT_COUNT 1)
if(NOT first MATCHES "^skarn \\(([^)]*)\\)")
  list(APPEND failures "packaging/changelog: no version in its first line: ${first}")
elseif(NOT CMAKE_MATCH_1 STREQUAL "${VERSION}-${REVISION}")
  list(APPEND failures "packaging/changelog: latest entry is ${CMAKE_MATCH_1}, the package is ${VERSION}-${REVISION}")
endif()

file(READ "${SOURCE_DIR}/packaging/skarn.metainfo.xml.in" metainfo)
if(NOT metainfo MATCHES "<release version=\"([^\"]*)\"")
  list(APPEND failures "packaging/skarn.metainfo.xml.in: no release")
elseif(NOT CMAKE_MATCH_1 STREQUAL VERSION)
  list(APPEND failures "packaging/skarn.metainfo.xml.in: latest release is ${CMAKE_MATCH_1}, the project is ${VERSION}")
endif()

# The pages sit beside what they describe, one folder down.
file(GLOB pages RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/*/*.[1-9]")
list(FILTER pages EXCLUDE REGEX "^build")
if(NOT pages)
  list(APPEND failures "no manual pages found")
endif()
foreach(page IN LISTS pages)
  file(STRINGS "${SOURCE_DIR}/${page}" th REGEX "^\\.TH" LIMIT_COUNT 1)
  if(NOT th MATCHES "\"Skarn ([^\"]*)\"")
    list(APPEND failures "${page}: no \"Skarn VERSION\" in ${th}")
  elseif(NOT CMAKE_MATCH_1 STREQUAL VERSION)
    list(APPEND failures "${page}: says Skarn ${CMAKE_MATCH_1}, the project is ${VERSION}")
  endif()
endforeach()

if(failures)
  list(JOIN failures "\n" text)
  message(FATAL_ERROR "${text}")
endif()
message(STATUS "${VERSION}-${REVISION} throughout: changelog, metainfo, ${pages}")
