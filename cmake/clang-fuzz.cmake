# The compiler of the libFuzzer targets, the fuzz preset's toolchain file. It takes the
# unversioned clang++ when that has libFuzzer's runtime (on Debian: the packages clang and
# libclang-rt-dev, the release's own clang, which scripts/install-deps.sh installs), else
# the newest clang++-N on PATH that has it. scripts/fuzz-long.sh reads the choice back from
# the build's cache. -DCMAKE_CXX_COMPILER=... on the first configure chooses another.
if(DEFINED CACHE{CMAKE_CXX_COMPILER})
  return()
endif()

# TRUE when COMPILER runs and its resource folder holds libFuzzer's runtime (lib/linux/ or a
# per-target lib/<triple>/, depending on the version).
function(px_clang_has_fuzzer compiler result)
  set(found "")
  execute_process(COMMAND "${compiler}" -print-resource-dir RESULT_VARIABLE rc OUTPUT_VARIABLE dir
                  ERROR_QUIET OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(rc EQUAL 0 AND IS_DIRECTORY "${dir}")
    file(GLOB found "${dir}/lib/*/libclang_rt.fuzzer-*.a" "${dir}/lib/*/libclang_rt.fuzzer.a")
  endif()
  if(found)
    set(${result} TRUE PARENT_SCOPE)
  else()
    set(${result} FALSE PARENT_SCOPE)
  endif()
endfunction()

set(px_candidates clang++)
set(px_versioned "")
string(REPLACE ":" ";" px_path "$ENV{PATH}")
foreach(dir ${px_path})
  file(GLOB found RELATIVE "${dir}" "${dir}/clang++-[0-9]*")
  list(APPEND px_versioned ${found})
endforeach()
list(REMOVE_DUPLICATES px_versioned)
list(SORT px_versioned COMPARE NATURAL ORDER DESCENDING)  # clang++-19 before clang++-14
list(APPEND px_candidates ${px_versioned})

foreach(name ${px_candidates})
  find_program(px_program NAMES ${name} NO_CACHE)
  if(px_program)
    px_clang_has_fuzzer("${px_program}" usable)
    if(usable)
      set(PX_FUZZ_CXX "${px_program}")
      break()
    endif()
  endif()
  unset(px_program)
endforeach()
if(NOT DEFINED PX_FUZZ_CXX)
  message(FATAL_ERROR "No clang++ with libFuzzer's runtime on PATH (bash scripts/install-deps.sh installs "
                      "Debian's clang and libclang-rt-dev)")
endif()
set(CMAKE_CXX_COMPILER "${PX_FUZZ_CXX}" CACHE FILEPATH "The fuzz targets' compiler (cmake/clang-fuzz.cmake)")
