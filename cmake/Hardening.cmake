# The hardening Debian's builds use (what dpkg-buildflags gives with hardening=+all on
# bookworm), for the programs and all they link: checked string and memory functions where the compiler optimises, stack
# protectors, position-independent executables, and a relocation table made read-only once
# the program has started. Added to lexanta_options (cmake/CompileOptions.cmake).
option(LEXANTA_HARDENING "Build with the hardening flags of Debian's builds" ON)

if(LEXANTA_HARDENING)
  include(CheckPIESupported)
  check_pie_supported(LANGUAGES CXX)
  set(CMAKE_POSITION_INDEPENDENT_CODE ON)
  # _FORTIFY_SOURCE needs optimisation, and the sanitizers check the same calls themselves.
  if(NOT LEXANTA_SANITIZE)
    target_compile_options(lexanta_options INTERFACE
      "$<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=2>")
  endif()
  target_compile_options(lexanta_options INTERFACE -fstack-protector-strong -Wformat
                                                   -Werror=format-security)
  target_link_options(lexanta_options INTERFACE -Wl,-z,relro -Wl,-z,now)
endif()
