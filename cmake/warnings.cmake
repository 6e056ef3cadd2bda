# Warnings are a property of each target, not global flags: every target of
# the project links vamu_warnings (PRIVATE), so third-party code compiled into
# the build (GoogleTest's macros aside) is not held to them.
# VAMU_STRICT turns every warning into an error; tools/run-tests sets it for
# every preset.
option(VAMU_STRICT "Treat warnings as errors" OFF)

add_library(vamu_warnings INTERFACE)
target_compile_options(vamu_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wconversion
  $<$<BOOL:${VAMU_STRICT}>:-Werror>)
