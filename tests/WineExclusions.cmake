# SPDX-License-Identifier: Apache-2.0
# The one list of test cases that the Windows build leaves out, each with
# the reason: they cannot run under Wine, or ask for what Windows does not
# have. Everything else runs there (scripts/build-windows.sh), and the
# *WindowsTest.cpp files add what only Windows has.
#
# Left out by file: *PosixTest.cpp, not built for Windows: they call what
# POSIX systems alone offer (fork, seccomp, inotify, mount namespaces,
# setrlimit, setuid, FIFOs, umask, hard links, /proc).
#
# Left out by name: the cases below (gtest filters). Not registered for
# Windows either: Valgrind.* (valgrind runs Linux programs), Install.*
# (installs into a Linux prefix and builds Debian packages), Recipes.*
# (shell scripts that run git and pre-commit), SarifValidator.* (Microsoft's
# validator from npm, a Linux program, over the check's SARIF; the SARIF is
# the same bytes on Windows: Windows.same-outputs).
set(QORMD_WINE_EXCLUDED
  # The sessions of the pages run in bash with Linux's git, sed and diff:
  # Windows.documentation runs them with the programs of the unpacked zip.
  Documentation.EveryBlockIsKnownAndEverySessionPrintsWhatItShows
  # Linux programs that a Windows program cannot run under Wine (Wine starts
  # them, but neither their arguments' quoting nor their exit status come
  # through): the headless Chromium that loads the HTML report; git, which
  # drives the git drivers and makes the scratch repositories of the revision
  # range report (Windows.git-drivers runs git with the zip's drivers); grep;
  # bash, which feeds a document through a pipe; the Python generator of the
  # document pairs (the programs' outputs on generated pairs are compared
  # with Linux's by Windows.same-outputs instead).
  ReportInBrowser.*
  GitDrivers.*
  ReportRange.*
  ReportRangeUnnamed.*
  ReportPathspec.*
  Documentation.TheReadmesGrepFindsWhereAMessageIsWritten
  Check.BytesFromAPipeArePlacedToo
  Check.AgreesWithTheLoaderOnGeneratedModels
  ReportEntries.GeneratedPairsEntryByEntry
  # The same, for the change check and the report's marks: scratch
  # repositories made with git (Windows.git-drivers runs -Against and -Git
  # with the zip's programs), the generated pairs (Windows.same-outputs
  # compares the check and the marks on them with Linux's).
  ChangeCheck.TheConfigurationSetsSeveritiesAndAcknowledgesChanges
  ChangeCheck.AgainstARevisionWithAndWithoutFiles
  ReportMarks.TheConfigurationSetsWhatIsMarked
  ReportMarks.ARangeMarksEveryFile
  ReportMarks.TheMarksAreTheChecksProblems
  # A body of code run in a child process of its own: fork.
  ProgramHost.SeesTheVersionWithoutFlushing
  ProgramHost.SeesNoOutputItDidNotPrint
  # Locales compiled by glibc's localedef, set in a forked child.
  Comparison.LetterCaseMatchesTheSameWhateverTheLocale
  # Windows names files in UTF-16: no name is bytes that are not UTF-8.
  Comparison.FileNamesThatAreNotUtf8AreReadAndShown
  Check.EveryProblemIsOneLineWithWhatCannotBeSeenEscaped
  # POSIX permission bits of replaced files (Windows keeps a replaced file's
  # security and read-only attribute instead: PlatformWindowsTest.cpp), and a
  # pseudo-terminal for the report's colours.
  MergeFailures.FailedWriteLeavesTheOutputsIntact
  ReportReading.ExamplePairInTextAndItsColours
  # A job object's memory limit, which Wine does not enforce (and Wine itself
  # does not survive a process that takes the whole address space): memory
  # running out is not tested on Windows.
  MemoryRunsOut.TheHostFailsWithAMessage
  # Wine keeps no access rules of its own: it reads back rules made from the
  # POSIX permission bits, whatever was set. A Windows case that runs on
  # Windows only.
  PlatformWindows.AReplacedFileKeepsItsAccessRules
)

# The sources of a suite in folder: its *Test.cpp files, those of the other
# system left out.
function(qormd_test_sources variable folder)
  file(GLOB sources CONFIGURE_DEPENDS ${folder}/*Test.cpp)
  if(WIN32)
    list(FILTER sources EXCLUDE REGEX "PosixTest\\.cpp$")
  else()
    list(FILTER sources EXCLUDE REGEX "WindowsTest\\.cpp$")
  endif()
  set(${variable} ${sources} PARENT_SCOPE)
endfunction()

# gtest_discover_tests for every suite: each case a ctest test with timeout
# seconds; in the Windows build without the cases above.
function(qormd_discover_tests target timeout)
  set(filter "*")
  if(WIN32)
    list(JOIN QORMD_WINE_EXCLUDED ":" excluded)
    set(filter "-${excluded}")
  endif()
  gtest_discover_tests(${target} DISCOVERY_TIMEOUT 120 TEST_FILTER "${filter}" PROPERTIES TIMEOUT ${timeout})
endfunction()
