# lexanta_layer(TARGET DIRS dir... [EXCLUDE file...] LINK dep...)
#
# A static library of the sources in src/<dir>/ (each dir alone, not its subfolders). Its
# headers are published through an include folder of its own, build/layers/TARGET, that
# holds links to them under their src/ paths; a target sees the include folders of the
# layers it links and no others, so an include of a layer above does not build.
#
# lexanta_program(TARGET DIRS dir... [EXCLUDE file...] LINK dep...) does the same for an
# executable.

function(lexanta_layer_sources target out)
  cmake_parse_arguments(L "" "" "DIRS;EXCLUDE" ${ARGN})
  set(include_root ${CMAKE_BINARY_DIR}/layers/${target})
  set(sources)
  foreach(dir ${L_DIRS})
    file(GLOB headers CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/${dir}/*.h)
    file(GLOB cpps CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/${dir}/*.cpp)
    foreach(excluded ${L_EXCLUDE})
      list(FILTER cpps EXCLUDE REGEX "/${excluded}$")
    endforeach()
    foreach(header ${headers})
      file(RELATIVE_PATH rel ${PROJECT_SOURCE_DIR}/src ${header})
      get_filename_component(folder ${include_root}/${rel} DIRECTORY)
      file(MAKE_DIRECTORY ${folder})
      file(CREATE_LINK ${header} ${include_root}/${rel} SYMBOLIC)
    endforeach()
    list(APPEND sources ${cpps} ${headers})
  endforeach()
  set(${out} ${sources} PARENT_SCOPE)
endfunction()

function(lexanta_layer target)
  cmake_parse_arguments(L "" "" "DIRS;EXCLUDE;LINK" ${ARGN})
  lexanta_layer_sources(${target} sources DIRS ${L_DIRS} EXCLUDE ${L_EXCLUDE})
  add_library(${target} STATIC ${sources})
  target_include_directories(${target} PUBLIC ${CMAKE_BINARY_DIR}/layers/${target})
  target_link_libraries(${target} PUBLIC ${L_LINK} PRIVATE lexanta_src_options)
endfunction()

function(lexanta_program target)
  cmake_parse_arguments(L "" "" "DIRS;EXCLUDE;LINK" ${ARGN})
  lexanta_layer_sources(${target} sources DIRS ${L_DIRS} EXCLUDE ${L_EXCLUDE})
  add_executable(${target} ${sources})
  target_include_directories(${target} PRIVATE ${CMAKE_BINARY_DIR}/layers/${target})
  target_link_libraries(${target} PRIVATE ${L_LINK} lexanta_src_options)
endfunction()
