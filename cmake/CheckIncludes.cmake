# Fails when a source file includes a header its layer must not use. Run as a script:
#
#   cmake -DRULE=<no-qt|no-posix|no-app> -DROOT=<source folder> -DDIRS=<folder,folder...>
#         [-DSTAMP=<file touched when all is well>] -P CheckIncludes.cmake
#
# no-qt:    the library is plain C++: no Qt header.
# no-posix: the editor and tbmap reach files through the library or Qt, so they build on
#           Windows too: no POSIX header.
# no-app:   the drawing library and tbmap stand below the editor's windows: no "app/" header.

set(include_line "^[ \t]*#[ \t]*include[ \t]*")
if(RULE STREQUAL "no-qt")
  set(pattern "${include_line}[<\"](Qt[A-Za-z]*/|Q[A-Z][A-Za-z0-9]*[>\"]|q[a-z0-9_]+\\.h>)")
  set(why "the library is plain C++ and includes no Qt header; move this code to src/app or "
          "use the standard library")
elseif(RULE STREQUAL "no-posix")
  set(posix_headers "unistd|fcntl|dirent|dlfcn|grp|pwd|libgen|fnmatch|glob|poll|pthread|sched"
                    "|semaphore|spawn|strings|termios|utime|wordexp|syslog|netdb|ifaddrs")
  string(JOIN "" posix_headers ${posix_headers})
  set(pattern "${include_line}[<\"]((${posix_headers})\\.h|(sys|netinet|arpa|net)/[^>\"]+)[>\"]")
  set(why "src/app and src/cli reach files through the library (src/lib/shell has the "
          "platform files) or Qt, so that they build on Windows; no POSIX header")
elseif(RULE STREQUAL "no-app")
  set(pattern "${include_line}\"app/[^\"]+\"")
  set(why "the drawing library and tbmap do not use the editor's windows; move what both need "
          "into src/render or src/lib")
else()
  message(FATAL_ERROR "CheckIncludes.cmake: unknown RULE \"${RULE}\"")
endif()

string(REPLACE "," ";" dirs "${DIRS}")
set(found)
foreach(dir IN LISTS dirs)
  file(GLOB_RECURSE files ${ROOT}/${dir}/*.h ${ROOT}/${dir}/*.hpp ${ROOT}/${dir}/*.cpp
       ${ROOT}/${dir}/*.cc)
  list(SORT files)
  foreach(file IN LISTS files)
    file(STRINGS ${file} hits REGEX "${pattern}")
    foreach(hit IN LISTS hits)
      file(RELATIVE_PATH name ${ROOT} ${file})
      string(STRIP "${hit}" hit)
      list(APPEND found "  ${name}: ${hit}")
    endforeach()
  endforeach()
endforeach()

if(found)
  list(JOIN found "\n" lines)
  string(JOIN "" why ${why})
  message(FATAL_ERROR "Forbidden include (${RULE}): ${why}.\n${lines}")
endif()
if(STAMP)
  file(TOUCH ${STAMP})
endif()
