# Results must be bit-identical across build types and machines: no fused
# multiply-add contraction and no host-specific instruction sets.
add_library(vireon_compile_options INTERFACE)
target_compile_options(vireon_compile_options INTERFACE
  -Wall -Wextra -ffp-contract=off)
if(VIREON_SANITIZE)
  target_compile_options(vireon_compile_options INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_link_options(vireon_compile_options INTERFACE -fsanitize=address,undefined)
endif()
if(VIREON_BUILD_FUZZERS)
  # Coverage instrumentation for the whole core, so the fuzzers see inside the loaders.
  target_compile_options(vireon_compile_options INTERFACE
    -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  target_link_options(vireon_compile_options INTERFACE -fsanitize=address,undefined)
endif()
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  # g++ 12 at -O2 reports overlapping copies inside std::string's own operator+ and assign
  # (GCC bug 105329), and the inactive members of a std::variant built from a temporary as
  # "maybe uninitialized": false alarms that would bury real warnings of optimised builds.
  target_compile_options(vireon_compile_options INTERFACE -Wno-restrict -Wno-maybe-uninitialized)
endif()
