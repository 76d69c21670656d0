# The build's own checks, run by ctest as a script:
#   cmake -DSOURCE_DIR=<project> -DWORK_DIR=<scratch folder> -P BuildChecksTest.cmake
# Each check is made to fire on a small tree of its own, and must stay quiet on clean code
# and on the project itself.
cmake_minimum_required(VERSION 3.25)

set(failures 0)
macro(fail what)
  message(SEND_ERROR "FAILED: ${what}")
  math(EXPR failures "${failures} + 1")
endmacro()
# Expectations on the last run: its exit code `rc` and its output `out`.
macro(expect_failure what)
  if(rc EQUAL 0)
    fail("${what}")
  endif()
endmacro()
macro(expect_success what)
  if(NOT rc EQUAL 0)
    fail("${what}: ${out}")
  endif()
endmacro()
macro(expect_in_output text)
  string(FIND "${out}" "${text}" at)
  if(at EQUAL -1)
    fail("the output names ${text}: ${out}")
  endif()
endmacro()
macro(expect_not_in_output text)
  string(FIND "${out}" "${text}" at)
  if(NOT at EQUAL -1)
    fail("the output does not name ${text}: ${out}")
  endif()
endmacro()

file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})

# Runs CheckIncludes.cmake on `root`; sets rc and out.
function(check_includes rule root dirs)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -DRULE=${rule} -DROOT=${root} -DDIRS=${dirs}
            -P ${SOURCE_DIR}/cmake/CheckIncludes.cmake
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  set(rc ${result} PARENT_SCOPE)
  set(out "${output}" PARENT_SCOPE)
endfunction()

# --- Qt in the library: every spelling of a Qt include is caught, nothing else is.
set(tree ${WORK_DIR}/qt)
file(WRITE ${tree}/src/lib/core/Clean.h "#pragma once\n#include <vector>\n#include \"shell/Errors.h\"\n// #include <QString> in a comment is fine\n")
file(WRITE ${tree}/src/lib/core/Widget.cpp "#include <vector>\n#include <QString>\n")
file(WRITE ${tree}/src/lib/shell/Module.h "  #  include <QtCore/QObject>\n")
file(WRITE ${tree}/src/lib/shell/Old.cpp "#include \"QDebug\"\n#include <qglobal.h>\n")
check_includes(no-qt ${tree} src/lib)
expect_failure("a Qt include in src/lib fails the check")
expect_in_output("src/lib/core/Widget.cpp: #include <QString>")
expect_in_output("src/lib/shell/Module.h: #  include <QtCore/QObject>")
expect_in_output("src/lib/shell/Old.cpp: #include \"QDebug\"")
expect_in_output("src/lib/shell/Old.cpp: #include <qglobal.h>")
expect_not_in_output("Clean.h")
file(REMOVE ${tree}/src/lib/core/Widget.cpp ${tree}/src/lib/shell/Module.h
     ${tree}/src/lib/shell/Old.cpp)
check_includes(no-qt ${tree} src/lib)
expect_success("src/lib without Qt passes")

# --- POSIX headers in the editor and tbmap.
set(tree ${WORK_DIR}/posix)
file(WRITE ${tree}/src/app/Form.cpp "#include <QWidget>\n#include <cstdio>\n#include \"shell/NativeFile.h\"\n")
file(WRITE ${tree}/src/cli/Tool.cpp "#include <unistd.h>\n#include <sys/stat.h>\n#include <iostream>\n")
check_includes(no-posix ${tree} "src/app,src/cli")
expect_failure("a POSIX include in src/cli fails the check")
expect_in_output("src/cli/Tool.cpp: #include <unistd.h>")
expect_in_output("src/cli/Tool.cpp: #include <sys/stat.h>")
expect_not_in_output("Form.cpp") # Qt and standard headers
expect_not_in_output("<iostream>")

# --- Window headers in the drawing library and tbmap.
set(tree ${WORK_DIR}/layers)
file(WRITE ${tree}/src/render/Draw.cpp "#include \"core/MapImage.h\"\n#include \"app/editor/MapView.h\"\n")
file(WRITE ${tree}/src/cli/Tool.cpp "#include \"render/PictureFiles.h\"\n// #include \"app/x.h\"\n")
check_includes(no-app ${tree} "src/render,src/cli")
expect_failure("a window header in src/render fails the check")
expect_in_output("src/render/Draw.cpp: #include \"app/editor/MapView.h\"")
expect_not_in_output("core/MapImage.h")
expect_not_in_output("Tool.cpp")

# --- The project itself passes every check.
check_includes(no-qt ${SOURCE_DIR} src/lib)
expect_success("src/lib of the project includes no Qt header")
check_includes(no-posix ${SOURCE_DIR} "src/app,src/render,src/cli")
expect_success("src/app, src/render and src/cli of the project include no POSIX header")
check_includes(no-app ${SOURCE_DIR} "src/render,src/cli")
expect_success("src/render and src/cli of the project include no window header")

# --- An unknown dependency stops the configuration; a known one links.
set(tree ${WORK_DIR}/deps)
file(WRITE ${tree}/CMakeLists.txt "cmake_minimum_required(VERSION 3.25)
project(deps LANGUAGES CXX)
include(${SOURCE_DIR}/cmake/TbTargets.cmake)
add_subdirectory(base)
add_subdirectory(user)
")
file(WRITE ${tree}/base/CMakeLists.txt "tb_library(base)\n")
file(WRITE ${tree}/base/Base.cpp "int base() { return 1; }\n")
file(WRITE ${tree}/user/CMakeLists.txt "tb_library(user DEPS tb_base)\n")
file(WRITE ${tree}/user/User.cpp "int user() { return 2; }\n")
execute_process(COMMAND ${CMAKE_COMMAND} -S ${tree} -B ${tree}/build-good -G Ninja
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
expect_success("known dependencies configure")
file(WRITE ${tree}/user/CMakeLists.txt "tb_library(user DEPS tb_base tb_bsae)\n")
execute_process(COMMAND ${CMAKE_COMMAND} -S ${tree} -B ${tree}/build-bad -G Ninja
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
expect_failure("a misspelt dependency stops the configuration")
expect_in_output("tb_user: unknown dependency \"tb_bsae\"")

# --- Platform files: each system builds its own.
include(${SOURCE_DIR}/cmake/TbTargets.cmake)
set(sources a/File.cpp a/NativeFilePosix.cpp a/NativeFileWindows.cpp b/AtomicFilePosixTest.cpp
            b/AtomicFileWindowsTest.cpp b/WindowsPaths.h b/Positions.cpp)
set(WIN32 1)
tb_platform_sources(kept ${sources})
if(NOT kept STREQUAL "a/File.cpp;a/NativeFileWindows.cpp;b/AtomicFileWindowsTest.cpp;b/WindowsPaths.h;b/Positions.cpp")
  fail("Windows builds its own files and the shared ones: ${kept}")
endif()
unset(WIN32)
tb_platform_sources(kept ${sources})
if(NOT kept STREQUAL "a/File.cpp;a/NativeFilePosix.cpp;b/AtomicFilePosixTest.cpp;b/WindowsPaths.h;b/Positions.cpp")
  fail("POSIX builds its own files and the shared ones: ${kept}")
endif()

if(failures GREATER 0)
  message(FATAL_ERROR "${failures} build check expectations failed")
endif()
message(STATUS "build checks: all expectations held")
