# The library tests that do not run on Windows, each with its reason; every other library
# test runs there (scripts/test-windows.sh), and ctest lists these as disabled. One entry a
# line: a regular expression on the ctest name of a case ("Suite.Case"), a colon, and why.
#
# Besides these, whole folders are not built for Windows: tests/faults (file size limits,
# child processes and private tmpfs mounts throughout), and tests/cli and tests/app (tbmap
# and the editor need Qt, which the cross build does not have), and tests/lib/share with the
# library it tests (the cross build has no libpq; see TB_BUILD_SHARE).
set(TB_LINUX_ONLY_TESTS
  # A read-only program folder or folder, made as a private tmpfs mount (binds root too).
  "InstalledCopy\\..*: mounts a private read-only tmpfs"
  "ApplicationDir\\.AnInstalledCopyWithoutDefaultsStillGetsItsUsersFolder: mounts a private read-only tmpfs"
  "MapImageSave\\.IntoAReadOnlyFolderLeavesTheOldFile: mounts a private read-only tmpfs"
  # A write that fails half way, made by a file size limit (RLIMIT_FSIZE).
  "MapImageSave\\.AFailedWriteLeavesTheOldFileIntact: needs a file size limit"
  "MapEnlarge\\.AWriteThatFailsHalfWayLeavesTheOldDestination: needs a file size limit"
  "TwoMaps\\.EveryFileIsClosedAfterAFailure: needs a file size limit and counts open files in /proc"
  # Symbolic links: MinGW's std::filesystem cannot make them (and Windows lets only
  # administrators or developer mode do so).
  "AtomicFileWriter\\.ASymbolicLinkStaysALinkAndItsFileIsReplaced: makes a symbolic link"
  "AtomicFileWriter\\.ALinkToAFileNotMadeYetStaysALink: makes a symbolic link"
  "FileIdentity\\.SameFileFollowsSymbolicLinks: makes a symbolic link"
  "MapEnlarge\\.TheSourceThroughASymbolicLinkIsRefusedToo: makes a symbolic link"
  "TwoMaps\\.TheSameFileThroughASymbolicLinkCopiesFromASnapshotToo: makes a symbolic link"
  # tbmap is not part of the Windows build (it needs Qt), and these run it through a POSIX
  # shell.
  "PatchCommand\\..*: runs tbmap"
  "TbmapDiff\\..*: runs tbmap"
  "TbmapTools\\..*: runs tbmap"
)
