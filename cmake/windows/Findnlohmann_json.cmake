# nlohmann-json for the Windows cross build: header-only, from the host's package.
include(${CMAKE_CURRENT_LIST_DIR}/header_folder.cmake)
skarn_header_library(nlohmann_json::nlohmann_json nlohmann)
set(nlohmann_json_FOUND TRUE)
