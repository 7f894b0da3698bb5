# Run at install time (install(SCRIPT)). While CPack installs into the Debian
# package's tree it sets SKARN_DEBIAN_PACKAGE; the tree then gets what Debian's
# own package tools would give it:
# - the manual pages compressed, and the Debian changelog, both as gzip -9n
#   makes them: no file name or time stamp inside, so the same sources give
#   the same bytes;
# - the programs (stripped already) without the .comment and .note sections,
#   which only name the compiler;
# - the lintian overrides.
# The install code before this sets SKARN_BINDIR, SKARN_MANDIR, SKARN_DATADIR
# and SKARN_STRIP.

if(NOT SKARN_DEBIAN_PACKAGE)
  return()
endif()

set(root "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
set(docdir "${root}/${SKARN_DATADIR}/doc/skarn")

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    list(JOIN ARGN " " command)
    message(FATAL_ERROR "Debian package tree: '${command}' failed: ${status}")
  endif()
endfunction()

find_program(SKARN_GZIP gzip)
if(NOT SKARN_GZIP)
  message(FATAL_ERROR "gzip is needed to build the Debian package")
endif()

file(GLOB_RECURSE pages "${root}/${SKARN_MANDIR}/*.[1-9]")
foreach(page IN LISTS pages)
  run("${SKARN_GZIP}" -9nf "${page}")
endforeach()

file(MAKE_DIRECTORY "${docdir}")
execute_process(COMMAND "${SKARN_GZIP}" -9nc "${CMAKE_CURRENT_LIST_DIR}/changelog"
                OUTPUT_FILE "${docdir}/changelog.Debian.gz" RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cannot write ${docdir}/changelog.Debian.gz")
endif()
file(CHMOD "${docdir}/changelog.Debian.gz" PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)

if(SKARN_STRIP)
  file(GLOB programs "${root}/${SKARN_BINDIR}/*")
  foreach(program IN LISTS programs)
    file(READ "${program}" magic LIMIT 4 HEX)
    if(magic STREQUAL "7f454c46")  # ELF; the launcher is a shell script
      run("${SKARN_STRIP}" --remove-section=.comment --remove-section=.note "${program}")
    endif()
  endforeach()
endif()

# file(INSTALL) adds DESTDIR itself.
file(INSTALL "${CMAKE_CURRENT_LIST_DIR}/lintian-overrides"
     DESTINATION "${CMAKE_INSTALL_PREFIX}/${SKARN_DATADIR}/lintian/overrides"
     RENAME skarn
     PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
