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
  # -O1 and line tables (all the sanitizers' stack traces need) take a third off compiling the
  # instrumented tree, which the test command builds in full.
  target_compile_options(ondalink_options INTERFACE -fsanitize=fuzzer-no-link,address,undefined
                                                    -fno-omit-frame-pointer -fno-sanitize-recover=undefined
                                                    -O1 -gline-tables-only)
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

# clazy inside the compiler: its findings are warnings, so -Werror fails the build on them, and the tree
# is parsed once for the build and the check. Left out: qstring-ref, whose advice (midRef()) is Qt 5's.
# A folder narrows the checks with ondalink_clazy_checks(); the last call there wins.
function(ondalink_clazy_checks checks)
  if(NOT ONDALINK_CLAZY)
    return()
  endif()
  get_directory_property(options COMPILE_OPTIONS)
  list(FILTER options EXCLUDE REGEX "plugin-arg-clazy")
  list(APPEND options "SHELL:-Xclang -plugin-arg-clazy -Xclang ${checks}")
  set_directory_properties(PROPERTIES COMPILE_OPTIONS "${options}")
endfunction()

if(ONDALINK_CLAZY)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "ONDALINK_CLAZY needs clang: configure with CC=clang CXX=clang++")
  endif()
  find_library(ONDALINK_CLAZY_PLUGIN NAMES ClazyPlugin.so ClazyPlugin REQUIRED)
  add_compile_options("SHELL:-Xclang -load -Xclang ${ONDALINK_CLAZY_PLUGIN}" "SHELL:-Xclang -add-plugin -Xclang clazy")
  ondalink_clazy_checks(level1,no-qstring-ref)
  # Our headers only, and nothing of the build tree (moc output); the plugin takes these from the
  # environment (whole-path regular expressions), so every compile is started through env.
  set(CMAKE_CXX_COMPILER_LAUNCHER ${CMAKE_COMMAND} -E env
      "CLAZY_HEADER_FILTER=${PROJECT_SOURCE_DIR}/(src|tools|tests|bench)/.*"
      "CLAZY_IGNORE_DIRS=${PROJECT_BINARY_DIR}/.*" ${CMAKE_CXX_COMPILER_LAUNCHER})
endif()
