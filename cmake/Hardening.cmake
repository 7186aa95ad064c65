# Checks of the readers and the writer against hostile input and failing disks.
#
# Fuzz targets (tests/fuzz/fuzz_*.cpp), one per reader. With LEXANTA_FUZZ=ON (clang) they
# are libFuzzer programs for scripts/fuzz; otherwise plain programs that replay their seed
# corpus. Either way ctest runs each over tests/fuzz/corpus/<name>/ as a regression.
option(LEXANTA_FUZZ "Build the fuzz targets with libFuzzer (needs clang)" OFF)

if(LEXANTA_FUZZ)
  # Coverage for the code under test; the sanitizers come with LEXANTA_SANITIZE.
  target_compile_options(lexanta_platform PRIVATE -fsanitize=fuzzer-no-link)
  target_compile_options(lexanta_core PRIVATE -fsanitize=fuzzer-no-link)
endif()

file(GLOB FUZZ_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/fuzz/fuzz_*.cpp)
foreach(src ${FUZZ_SOURCES})
  get_filename_component(name ${src} NAME_WE)
  string(REGEX REPLACE "^fuzz_" "" corpus ${name})
  add_executable(${name} ${src})
  target_link_libraries(${name} PRIVATE lexanta_core)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  target_compile_options(${name} PRIVATE ${LEXANTA_WARNINGS})
  set(corpus_dir ${CMAKE_SOURCE_DIR}/tests/fuzz/corpus/${corpus})
  if(LEXANTA_FUZZ)
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    add_test(NAME ${name} COMMAND ${name} -runs=0 ${corpus_dir})
  else()
    target_sources(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests/fuzz/replay_main.cpp)
    add_test(NAME ${name} COMMAND ${name} ${corpus_dir})
  endif()
  set_tests_properties(${name} PROPERTIES LABELS "core;fuzz")
endforeach()

# A write shim for the full-disk cases where no small file system can be mounted: loaded
# with LD_PRELOAD, it fails writes to regular files with ENOSPC past LEXANTA_SHIM_SPACE bytes.
add_library(enospc_shim SHARED ${CMAKE_SOURCE_DIR}/tests/support/enospc_shim.cpp)
target_link_libraries(enospc_shim PRIVATE ${CMAKE_DL_LIBS})
target_compile_options(enospc_shim PRIVATE ${LEXANTA_WARNINGS})

# The tool's save faults, and kill -9 during large saves (label slow: run by scripts/test).
add_test(NAME cli_save_faults
         COMMAND bash ${CMAKE_SOURCE_DIR}/tests/cli/faults/save_faults.sh $<TARGET_FILE:lexanta-tool>
                 ${CMAKE_SOURCE_DIR}/tests/data $<TARGET_FILE:enospc_shim>)
set_tests_properties(cli_save_faults PROPERTIES LABELS core)
add_test(NAME cli_kill_during_save
         COMMAND bash ${CMAKE_SOURCE_DIR}/tests/cli/faults/kill_during_save.sh $<TARGET_FILE:lexanta-tool>
                 ${CMAKE_SOURCE_DIR}/tests/data)
set_tests_properties(cli_kill_during_save PROPERTIES LABELS "core;slow" TIMEOUT 600)
