# Flags for every Windows binary: XP as the oldest target, GBK string
# literals from UTF-8 sources, no runtime DLL other than the system's.
add_compile_definitions(_WIN32_WINNT=0x0501 WINVER=0x0501 _WIN32_IE=0x0600 WIN32_LEAN_AND_MEAN NOMINMAX)
add_compile_options(-finput-charset=UTF-8 -fexec-charset=GBK)
add_link_options(-static -static-libgcc -static-libstdc++
  -Wl,--major-os-version,5 -Wl,--minor-os-version,1
  -Wl,--major-subsystem-version,5 -Wl,--minor-subsystem-version,1)
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 65001")

set(WINE_TEST_SH "${PROJECT_SOURCE_DIR}/scripts/wine-test.sh")
set(WINE_PREFIX_ROOT "${TOP_BINARY_DIR}/wine" CACHE PATH "Folder of the Wine prefixes win32 and win64")

# add_wine_test(NAME TARGET [ARGS...]): runs TARGET in both Wine prefixes, as
# the ctest tests win64.NAME and win32.NAME (labels win64, win32).
function(add_wine_test name target)
  foreach(arch win64 win32)
    set(args "")
    foreach(a ${ARGN})
      string(APPEND args " \"${a}\"")
    endforeach()
    set_property(GLOBAL APPEND_STRING PROPERTY WINE_TEST_LINES
      "add_test(${arch}.${name} \"${WINE_TEST_SH}\" \"${WINE_PREFIX_ROOT}/${arch}\" \"$<TARGET_FILE:${target}>\"${args})\n\
set_tests_properties(${arch}.${name} PROPERTIES LABELS ${arch} RESOURCE_LOCK wine-${arch} TIMEOUT 1800 SKIP_RETURN_CODE 77)\n")
  endforeach()
endfunction()

# add_wine_script_test(NAME ARCHES SCRIPT [ARGS...]): a shell script that gets
# the prefix folder as its first argument, for each arch in ARCHES.
function(add_wine_script_test name arches script)
  foreach(arch ${arches})
    set(args "")
    foreach(a ${ARGN})
      string(APPEND args " \"${a}\"")
    endforeach()
    set_property(GLOBAL APPEND_STRING PROPERTY WINE_TEST_LINES
      "add_test(${arch}.${name} \"${script}\" \"${WINE_PREFIX_ROOT}/${arch}\"${args})\n\
set_tests_properties(${arch}.${name} PROPERTIES LABELS ${arch} RESOURCE_LOCK wine-${arch} TIMEOUT 1800 SKIP_RETURN_CODE 77)\n")
  endforeach()
endfunction()

# The top-level build includes this file into its own test list.
function(finish_wine_tests)
  get_property(lines GLOBAL PROPERTY WINE_TEST_LINES)
  file(GENERATE OUTPUT "${CMAKE_BINARY_DIR}/WinTests.cmake" CONTENT "${lines}")
endfunction()
