# Instrumented builds. TB_SANITIZE (e.g. "address,undefined") instruments every target of
# the build; TB_BUILD_FUZZ additionally adds libFuzzer coverage to every target and builds
# the fuzz targets in fuzz/ (clang only). Both are off in the default build.

if(TB_BUILD_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "TB_BUILD_FUZZ needs clang (configure with the \"fuzz\" preset)")
  endif()
  if(NOT TB_SANITIZE)
    set(TB_SANITIZE "address,undefined" CACHE STRING "" FORCE)
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()

if(TB_SANITIZE)
  # Every finding stops the program, so a test or fuzz run fails on it instead of printing
  # a report and carrying on.
  add_compile_options(-fsanitize=${TB_SANITIZE} -fno-sanitize-recover=all
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=${TB_SANITIZE})
endif()
