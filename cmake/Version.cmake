# The version of project(... VERSION) as a header for both programs and the About box.
configure_file(${CMAKE_CURRENT_LIST_DIR}/version.h.in ${CMAKE_BINARY_DIR}/generated/app_version.h
               @ONLY)
include_directories(${CMAKE_BINARY_DIR}/generated)
