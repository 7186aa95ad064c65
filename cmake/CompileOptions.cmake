# lexanta_options: what every target of the project compiles and links with. The layers, the
# programs, the tests, the fuzz targets and the benchmarks link it (the layers and programs
# through lexanta_src_options below); nothing sets flags globally. cmake/Hardening.cmake adds
# the hardening flags.
add_library(lexanta_options INTERFACE)

option(LEXANTA_WERROR "Make the project's own warnings errors (scripts/test and CI)" OFF)
option(LEXANTA_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)

target_compile_options(lexanta_options INTERFACE
  -Wall -Wextra -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual
  $<$<BOOL:${LEXANTA_WERROR}>:-Werror>
  # GCC 12 warns falsely inside std::string when it inlines at -O2/-O3 (GCC bug 105329)
  $<$<AND:$<CXX_COMPILER_ID:GNU>,$<VERSION_LESS:$<CXX_COMPILER_VERSION>,13>>:-Wno-restrict>)

if(LEXANTA_SANITIZE)
  target_compile_options(lexanta_options INTERFACE
    -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  target_link_options(lexanta_options INTERFACE -fsanitize=address,undefined)
endif()

# lexanta_src_options: the code under src/ also makes a QString from bytes only where it says
# which encoding they are in. (Tests keep Qt Test's plain string literals.)
add_library(lexanta_src_options INTERFACE)
target_link_libraries(lexanta_src_options INTERFACE lexanta_options)
target_compile_definitions(lexanta_src_options INTERFACE QT_NO_CAST_FROM_ASCII)
