# How the build compiles and links, and the faster build that CI uses.
#
# Everyone: ccache keys that do not depend on the checkout folder, and lld when it is there.
# KORVAN_CI (scripts/build.sh sets it when KORVAN_CI=1; .ci/run does): no debug information
# anywhere, the libraries and the program at their usual -O2, test and benchmark code at -O0,
# and each test program compiled as a unity build (KORVAN_UNITY_BATCH files per unit; 0, the
# default, puts a whole test directory into one). Tests and benchmarks are more than half of
# all compiling, and most of a test file's time goes to the headers it shares with its
# neighbours; their own code needs no optimisation to check the optimised libraries they link.

option(KORVAN_CI "Build as CI does: no debug information, test and benchmark code at -O0, tests in unity batches" OFF)
set(KORVAN_UNITY_BATCH 0 CACHE STRING "Test files per unity unit in a KORVAN_CI build (0: a whole directory)")
option(KORVAN_LLD "Link with lld when the compiler can use it" ON)

# ccache rewrites absolute paths under the source root to relative ones and leaves the
# working directory out of the key, so two checkouts (worktrees, the CI clone) share hits.
find_program(CCACHE_PROGRAM ccache)
if(CCACHE_PROGRAM)
  set(korvan_launcher ${CMAKE_COMMAND} -E env CCACHE_BASEDIR=${CMAKE_SOURCE_DIR} CCACHE_NOHASHDIR=1
      ${CCACHE_PROGRAM})
  set(CMAKE_CXX_COMPILER_LAUNCHER ${korvan_launcher})
  set(CMAKE_C_COMPILER_LAUNCHER ${korvan_launcher})
endif()

# lld links the large test programs several times faster than the default linker.
if(KORVAN_LLD)
  include(CheckLinkerFlag)
  check_linker_flag(CXX -fuse-ld=lld KORVAN_HAS_LLD)
  if(KORVAN_HAS_LLD)
    add_link_options(-fuse-ld=lld)
  endif()
endif()

if(KORVAN_CI)
  add_compile_options(-g0)   # after the build type's -g, so it wins
endif()

# korvan_test_code(): called at the top of tests/ and bench/; their code compiles at -O0 in CI
# (after the build type's -O2, so it wins). The libraries they link keep their flags.
macro(korvan_test_code)
  if(KORVAN_CI)
    add_compile_options(-O0)
  endif()
endmacro()

# korvan_unity(target): compiles a test program's files as a unity build in a CI build. The
# files of one test directory therefore keep their file-local names apart (shared helpers in
# the directory's support header, distinct names otherwise); the CI build checks it.
function(korvan_unity TARGET)
  if(KORVAN_CI)
    set_target_properties(${TARGET} PROPERTIES UNITY_BUILD ON
      UNITY_BUILD_BATCH_SIZE ${KORVAN_UNITY_BATCH})
  endif()
endfunction()
