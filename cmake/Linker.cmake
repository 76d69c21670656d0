# LLVM's linker where the compiler can use it: the window tests and benchmarks are many
# executables with debug information, and lld links each in about a third of the CPU time
# of the default linker (scripts/setup.sh installs it). Other builds keep the default.
include(CheckLinkerFlag)
option(TB_USE_LLD "Link with lld when the compiler accepts -fuse-ld=lld" ON)
if(TB_USE_LLD AND NOT CMAKE_CROSSCOMPILING)
  check_linker_flag(CXX -fuse-ld=lld TB_LINKER_LLD)
  if(TB_LINKER_LLD)
    add_link_options(-fuse-ld=lld)
  endif()
endif()
