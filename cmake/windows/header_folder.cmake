# Header-only libraries for the Windows cross build. Their headers are taken
# from the host's /usr/include, but copied into a folder of the build that
# holds them alone: adding /usr/include itself to the search path would put
# glibc's headers before MinGW's.

set(SKARN_HOST_INCLUDE /usr/include CACHE PATH "Where the host keeps CLI11's and nlohmann-json's headers")
set(SKARN_WINDOWS_INCLUDE ${CMAKE_BINARY_DIR}/windows-include)

# Copies the folder `name` of the host's headers and makes `target` an
# interface target that adds it to the search path.
function(skarn_header_library target name)
  if(TARGET ${target})
    return()
  endif()
  if(NOT EXISTS ${SKARN_HOST_INCLUDE}/${name})
    message(FATAL_ERROR "${SKARN_HOST_INCLUDE}/${name} is missing: scripts/install-deps installs it")
  endif()
  file(COPY ${SKARN_HOST_INCLUDE}/${name} DESTINATION ${SKARN_WINDOWS_INCLUDE})
  add_library(${target} INTERFACE IMPORTED GLOBAL)
  set_target_properties(${target} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${SKARN_WINDOWS_INCLUDE})
endfunction()
