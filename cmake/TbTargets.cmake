# Small helpers so that each subsystem folder declares its target in one line and
# new source files are picked up without editing shared build files.

# Drops dependencies on project targets that do not exist (a subsystem with no sources yet).
function(tb_existing_deps out)
  set(kept)
  foreach(dep IN LISTS ARGN)
    if(TARGET ${dep} OR NOT dep MATCHES "^tb_")
      list(APPEND kept ${dep})
    endif()
  endforeach()
  set(${out} ${kept} PARENT_SCOPE)
endfunction()

# tb_library(<name> [DEPS <targets>...]): static library tb_<name> from the *.cpp of
# the current folder. Plain C++ only: no Qt may be linked here.
function(tb_library name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_library(tb_${name} STATIC ${sources})
  target_include_directories(tb_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src/lib)
  tb_existing_deps(deps ${ARG_DEPS})
  target_link_libraries(tb_${name} PUBLIC ${deps})
endfunction()

# tb_app_library(<name> [DEPS <targets>...]): Qt Widgets library tb_app_<name> from the
# *.cpp of the current folder, with moc.
function(tb_app_library name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp
       ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  if(NOT sources)
    return()
  endif()
  add_library(tb_app_${name} STATIC ${sources})
  set_target_properties(tb_app_${name} PROPERTIES AUTOMOC ON)
  target_include_directories(tb_app_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src/app
                                                   ${PROJECT_SOURCE_DIR}/src/lib)
  tb_existing_deps(deps ${ARG_DEPS})
  target_link_libraries(tb_app_${name} PUBLIC Qt6::Widgets ${deps})
endfunction()

# tb_gtest(<name> [DEPS <targets>...]): one GoogleTest executable test_<name> from the
# *.cpp of the current folder; every case is registered with ctest.
function(tb_gtest name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(test_${name} ${sources})
  set_target_properties(test_${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  tb_existing_deps(deps ${ARG_DEPS})
  target_link_libraries(test_${name} PRIVATE ${deps} tb_testutil GTest::gtest_main GTest::gmock)
  # The test utilities know the source and bin folders; no environment is needed here.
  gtest_discover_tests(test_${name} DISCOVERY_TIMEOUT 60)
endfunction()

# tb_qtest(<deps>...): one Qt Test executable per *.cpp of the current folder, run
# headless on the offscreen platform.
function(tb_qtest)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  tb_existing_deps(deps ${ARG_DEPS})
  foreach(src IN LISTS sources)
    get_filename_component(stem ${src} NAME_WE)
    add_executable(${stem} ${src})
    set_target_properties(${stem} PROPERTIES AUTOMOC ON
                          RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    target_link_libraries(${stem} PRIVATE ${deps} tb_testutil Qt6::Test Qt6::Widgets)
    add_test(NAME ${stem} COMMAND ${stem})
    set_tests_properties(${stem} PROPERTIES ENVIRONMENT
      "QT_QPA_PLATFORM=offscreen;TB_SOURCE_DIR=${PROJECT_SOURCE_DIR};TB_BIN_DIR=${CMAKE_BINARY_DIR}/bin")
  endforeach()
endfunction()
