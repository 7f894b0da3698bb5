# CLI11 for the Windows cross build: header-only, from the host's package.
include(${CMAKE_CURRENT_LIST_DIR}/header_folder.cmake)
skarn_header_library(CLI11::CLI11 CLI)
set(CLI11_FOUND TRUE)
