# One INTERFACE target carries the switches every target of ours shares.
add_library(ondalink_options INTERFACE)
target_compile_features(ondalink_options INTERFACE cxx_std_20)
target_compile_options(ondalink_options INTERFACE -Wall -Wextra -Wpedantic -Werror)
target_compile_definitions(ondalink_options INTERFACE
  QT_NO_CAST_FROM_ASCII
  QT_NO_CAST_TO_ASCII
  QT_NO_CONTEXTLESS_CONNECT
  QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
  QT_NO_KEYWORDS
  ONDALINK_VERSION_MAJOR=${PROJECT_VERSION_MAJOR}
  ONDALINK_VERSION_MINOR=${PROJECT_VERSION_MINOR}
  ONDALINK_VERSION_PATCH=${PROJECT_VERSION_PATCH})

if(ONDALINK_SANITIZE)
  target_compile_options(ondalink_options INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer
                                                    -fno-sanitize-recover=undefined)
  target_link_options(ondalink_options INTERFACE -fsanitize=address,undefined)
endif()
