# Fuzzing: with SCOPEWATCH_FUZZ=ON (clang only) every library is compiled with libFuzzer's
# coverage instrumentation and AddressSanitizer + UndefinedBehaviorSanitizer, and fuzz/ adds
# one libFuzzer executable per reader of outside bytes. Use a build folder of its own:
#   cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DSCOPEWATCH_FUZZ=ON
#         -DSCOPEWATCH_BUILD_TESTS=OFF
#   cmake --build build-fuzz --target fuzz-targets
# (scripts/fuzz.sh does this and runs them.) Qt itself is not instrumented.
option(SCOPEWATCH_FUZZ "Build the libFuzzer targets (needs clang)" OFF)
if(SCOPEWATCH_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "SCOPEWATCH_FUZZ needs clang: configure with -DCMAKE_CXX_COMPILER=clang++")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
