# One INTERFACE target carries the switches every target of ours shares.
add_library(ondalink_options INTERFACE)
target_compile_features(ondalink_options INTERFACE cxx_std_20)
target_compile_options(ondalink_options INTERFACE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor
                                                  -Woverloaded-virtual -Wimplicit-fallthrough)
# Narrowing conversions are warnings in the product's own code; tests and benchmarks, which compare
# with literals, are spared the casts. GCC only: clang's -Wconversion also takes in -Wsign-conversion,
# which would drown the code in casts.
add_library(ondalink_product_options INTERFACE)
target_link_libraries(ondalink_product_options INTERFACE ondalink_options)
target_compile_options(ondalink_product_options INTERFACE $<$<CXX_COMPILER_ID:GNU>:-Wconversion>)
# Warnings fail the build where we test (scripts/build.sh, CI); a package built with another compiler
# release must not fail on a warning that release adds.
if(ONDALINK_WERROR)
  target_compile_options(ondalink_options INTERFACE -Werror)
endif()
target_compile_definitions(ondalink_options INTERFACE
  QT_NO_CAST_FROM_ASCII
  QT_NO_CAST_TO_ASCII
  QT_NO_CONTEXTLESS_CONNECT
  QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
  QT_NO_KEYWORDS)

if(ONDALINK_SANITIZE AND ONDALINK_FUZZ)
  message(FATAL_ERROR "ONDALINK_FUZZ brings its own sanitizers: leave ONDALINK_SANITIZE off")
endif()

if(ONDALINK_SANITIZE)
  target_compile_options(ondalink_options INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer
                                                    -fno-sanitize-recover=undefined)
  target_link_options(ondalink_options INTERFACE -fsanitize=address,undefined)
elseif(ONDALINK_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "ONDALINK_FUZZ needs clang: configure with CC=clang CXX=clang++")
  endif()
  # Every library of ours carries the coverage the fuzzers steer by; only the fuzzers link libFuzzer.
  target_compile_options(ondalink_options INTERFACE -fsanitize=fuzzer-no-link,address,undefined
                                                    -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(ondalink_options INTERFACE -fsanitize=address,undefined)
else()
  # Hardened program: position-independent, read-only relocations bound at start, fortified libc
  # calls (they need optimisation), stack canaries, stack clash probes and control-flow protection.
  set(CMAKE_POSITION_INDEPENDENT_CODE ON)
  include(CheckPIESupported)
  check_pie_supported()
  target_compile_options(ondalink_options INTERFACE
    -fstack-protector-strong -fstack-clash-protection -fcf-protection
    $<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:-U_FORTIFY_SOURCE -D_FORTIFY_SOURCE=3>)
  target_link_options(ondalink_options INTERFACE -Wl,-z,relro,-z,now)
endif()
