# Small helpers so that each subsystem folder declares its target in one line and
# new source files are picked up without editing shared build files.

# Stops the configuration when a dependency of `owner` names no target made before it: a
# misspelt name, or a subsystem listed after the one that needs it, would otherwise link as
# a plain library name or not at all.
function(tb_require_targets owner)
  foreach(dep IN LISTS ARGN)
    if(NOT TARGET ${dep})
      message(FATAL_ERROR "${owner}: unknown dependency \"${dep}\" (no target of that name "
                          "exists at this point; check the spelling and the subsystem order)")
    endif()
  endforeach()
endfunction()

# Platform files: *Posix.cpp (and its tests, *PosixTest.cpp) are built everywhere but on
# Windows, *Windows.cpp and *WindowsTest.cpp only there. Only the library and its tests have
# platform files; the windows reach the system through Qt, and a window class may well end
# in "Windows" (StartupWindows).
function(tb_platform_sources out)
  set(kept)
  foreach(src IN LISTS ARGN)
    if(WIN32 AND src MATCHES "Posix(Test)?\\.cpp$")
      continue()
    elseif(NOT WIN32 AND src MATCHES "Windows(Test)?\\.cpp$")
      continue()
    endif()
    list(APPEND kept ${src})
  endforeach()
  set(${out} ${kept} PARENT_SCOPE)
endfunction()

# tb_library(<name> [DEPS <targets>...]): static library tb_<name> from the *.cpp of
# the current folder. Plain C++ only: no Qt may be linked here.
function(tb_library name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  tb_platform_sources(sources ${sources})
  if(NOT sources)
    return()
  endif()
  add_library(tb_${name} STATIC ${sources})
  target_include_directories(tb_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src/lib)
  tb_require_targets(tb_${name} ${ARG_DEPS})
  target_link_libraries(tb_${name} PUBLIC ${ARG_DEPS})
endfunction()

# tb_app_library(<name> [EXCLUDE <files>...] [DEPS <targets>...]): Qt Widgets library
# tb_app_<name> from the *.cpp of the current folder but the EXCLUDE ones, with moc.
function(tb_app_library name)
  cmake_parse_arguments(ARG "" "" "DEPS;EXCLUDE" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp
       ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  foreach(file IN LISTS ARG_EXCLUDE)
    list(REMOVE_ITEM sources ${CMAKE_CURRENT_SOURCE_DIR}/${file})
  endforeach()
  if(NOT sources)
    return()
  endif()
  add_library(tb_app_${name} STATIC ${sources})
  set_target_properties(tb_app_${name} PROPERTIES AUTOMOC ON)
  # Window headers are included as "app/<subsystem>/X.h", so a folder name that the
  # library also has ("core/", "editor/") always means the library.
  target_include_directories(tb_app_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src
                                                   ${PROJECT_SOURCE_DIR}/src/lib)
  tb_require_targets(tb_app_${name} ${ARG_DEPS})
  target_link_libraries(tb_app_${name} PUBLIC Qt6::Widgets ${ARG_DEPS})
  tb_use_qt_pch(tb_app_${name})
endfunction()

# tb_gtest(<name> [DEPS <targets>...]): one GoogleTest executable test_<name> from the
# *.cpp of the current folder; every case is registered with ctest.
function(tb_gtest name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  tb_platform_sources(sources ${sources})
  if(NOT sources)
    return()
  endif()
  add_executable(test_${name} ${sources})
  set_target_properties(test_${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  tb_require_targets(test_${name} ${ARG_DEPS})
  target_link_libraries(test_${name} PRIVATE ${ARG_DEPS} tb_testutil GTest::gtest_main
                                             GTest::gmock)
  # The test utilities know the source and bin folders; no environment is needed here.
  gtest_discover_tests(test_${name} DISCOVERY_TIMEOUT 60)
  if(WIN32)
    tb_leave_out_linux_only_tests(test_${name})
  endif()
endfunction()

# On Windows, the discovered cases of `target` that tests/LinuxOnlyTests.cmake names are
# disabled: ctest lists them as not run, and every other case runs.
function(tb_leave_out_linux_only_tests target)
  include(${PROJECT_SOURCE_DIR}/tests/LinuxOnlyTests.cmake)
  set(names)
  foreach(entry IN LISTS TB_LINUX_ONLY_TESTS)
    string(REGEX REPLACE " *:.*" "" name "${entry}")
    list(APPEND names "${name}")
  endforeach()
  list(JOIN names "|" pattern)
  string(REPLACE "\\" "\\\\" pattern "${pattern}") # written into a quoted argument
  set(script ${CMAKE_CURRENT_BINARY_DIR}/${target}_linux_only.cmake)
  # Read by ctest after the list of discovered cases, which is in ${target}_TESTS.
  file(WRITE ${script}
       "foreach(case IN LISTS ${target}_TESTS)\n"
       "  if(case MATCHES \"^(${pattern})$\")\n"
       "    set_tests_properties(\"\${case}\" PROPERTIES DISABLED TRUE)\n"
       "  endif()\n"
       "endforeach()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${script})
endfunction()

# tb_qtest(<deps>...): one Qt Test executable per *.cpp of the current folder, run
# headless on the offscreen platform.
function(tb_qtest)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  tb_require_targets("tb_qtest in ${CMAKE_CURRENT_SOURCE_DIR}" ${ARG_DEPS})
  foreach(src IN LISTS sources)
    get_filename_component(stem ${src} NAME_WE)
    add_executable(${stem} ${src})
    set_target_properties(${stem} PROPERTIES AUTOMOC ON
                          RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    target_link_libraries(${stem} PRIVATE ${ARG_DEPS} tb_testutil Qt6::Test Qt6::Widgets)
    tb_use_qt_pch(${stem})
    # The test's moc output is included by its source; the generated file left is empty,
    # and loading the precompiled header for it would cost a second.
    set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/${stem}_autogen/mocs_compilation.cpp
                                PROPERTIES SKIP_PRECOMPILE_HEADERS ON)
    # The window tests' shared doubles (testsupport/).
    target_include_directories(${stem} PRIVATE ${PROJECT_SOURCE_DIR}/tests/app)
    add_test(NAME ${stem} COMMAND ${stem})
    set_tests_properties(${stem} PROPERTIES ENVIRONMENT
      "QT_QPA_PLATFORM=offscreen;TB_SOURCE_DIR=${PROJECT_SOURCE_DIR};TB_BIN_DIR=${CMAKE_BINARY_DIR}/bin")
  endforeach()
endfunction()

# One precompiled header for every target that builds on Qt Widgets (the window libraries,
# the window tests, the screenshots and the window benchmarks): the Qt and standard headers
# they share, compiled once per build and reused by all of them. A header per target would
# cost as much as it saves, since most window tests are a single source. It holds Qt Core,
# Gui and Widgets only: those headers read no macro of Qt Test, so the test targets' own
# definitions (QT_TESTCASE_BUILDDIR differs per folder) leave it valid.
function(tb_use_qt_pch target)
  if(NOT TB_QT_PCH)
    return()
  endif()
  if(NOT TARGET tb_qt_pch)
    add_library(tb_qt_pch STATIC ${PROJECT_SOURCE_DIR}/cmake/QtPrecompiled.cpp)
    target_link_libraries(tb_qt_pch PRIVATE Qt6::Widgets)
    target_precompile_headers(tb_qt_pch PRIVATE ${PROJECT_SOURCE_DIR}/cmake/QtPrecompiled.h)
  endif()
  target_precompile_headers(${target} REUSE_FROM tb_qt_pch)
endfunction()
