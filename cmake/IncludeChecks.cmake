# The layers' include rules, checked at every build: a file that breaks one fails the build
# with the file and the include named (see CheckIncludes.cmake). The checks rerun whenever a
# checked file changes, and every target of the checked folders waits for them.

set(TB_INCLUDE_CHECKS "no-qt:src/lib" "no-posix:src/app,src/render,src/cli"
                      "no-app:src/render,src/cli")

add_custom_target(include_checks ALL)
foreach(check IN LISTS TB_INCLUDE_CHECKS)
  string(REPLACE ":" ";" parts "${check}")
  list(GET parts 0 rule)
  list(GET parts 1 dirs)
  string(REPLACE "," ";" dir_list "${dirs}")
  set(watched)
  foreach(dir IN LISTS dir_list)
    file(GLOB_RECURSE dir_files CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${dir}/*.h
         ${PROJECT_SOURCE_DIR}/${dir}/*.hpp ${PROJECT_SOURCE_DIR}/${dir}/*.cpp
         ${PROJECT_SOURCE_DIR}/${dir}/*.cc)
    list(APPEND watched ${dir_files})
  endforeach()
  set(stamp ${CMAKE_BINARY_DIR}/include-checks/${rule}.stamp)
  add_custom_command(OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -DRULE=${rule} -DROOT=${PROJECT_SOURCE_DIR} -DDIRS=${dirs}
            -DSTAMP=${stamp} -P ${PROJECT_SOURCE_DIR}/cmake/CheckIncludes.cmake
    DEPENDS ${watched} ${PROJECT_SOURCE_DIR}/cmake/CheckIncludes.cmake
    COMMENT "Checking the includes of ${dirs} (${rule})"
    VERBATIM)
  add_custom_target(include_check_${rule} DEPENDS ${stamp})
  add_dependencies(include_checks include_check_${rule})
endforeach()

# Library, editor and tbmap targets are built only after the checks have passed.
foreach(sub IN LISTS TB_SUBSYSTEMS)
  foreach(target IN ITEMS tb_${sub} tb_app_${sub})
    if(TARGET ${target})
      add_dependencies(${target} include_checks)
    endif()
  endforeach()
endforeach()
foreach(target IN ITEMS tb_render tb_cli)
  if(TARGET ${target})
    add_dependencies(${target} include_checks)
  endif()
endforeach()
