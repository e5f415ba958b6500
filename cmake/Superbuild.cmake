# The two cross builds. Both rebuild on every build of this tree (their own
# make decides what is out of date).
include(ExternalProject)

set(_cross_args
  -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE}
  -DMINIZIP_SOURCE_DIR=${MINIZIP_SOURCE_DIR}
  -DLZMA_SOURCE_DIR=${LZMA_SOURCE_DIR}
  -DACTION_LOG_BASE=${ACTION_LOG_BASE}
  -DTOP_BINARY_DIR=${CMAKE_BINARY_DIR})

ExternalProject_Add(win64
  SOURCE_DIR ${PROJECT_SOURCE_DIR}
  BINARY_DIR ${CMAKE_BINARY_DIR}/win64
  CMAKE_ARGS ${_cross_args}
    -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/toolchain-x86_64-mingw.cmake
    -DSETUP_PRODUCT_ONLY=ON
  INSTALL_COMMAND ""
  BUILD_ALWAYS ON
  USES_TERMINAL_BUILD ON)

ExternalProject_Add(win32
  SOURCE_DIR ${PROJECT_SOURCE_DIR}
  BINARY_DIR ${CMAKE_BINARY_DIR}/win32
  CMAKE_ARGS ${_cross_args}
    -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/toolchain-i686-mingw.cmake
    -DPKGTOOL=$<TARGET_FILE:pkgtool>
    -DPRODUCT_X64_DIR=${CMAKE_BINARY_DIR}/win64/product/tree
  INSTALL_COMMAND ""
  BUILD_ALWAYS ON
  USES_TERMINAL_BUILD ON
  DEPENDS win64 pkgtool)

# Wine prefixes for the Windows tests: one WoW64 and one 32-bit.
foreach(arch win64 win32)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/wine/${arch}/.ready
    COMMAND ${PROJECT_SOURCE_DIR}/scripts/wine-prefix.sh ${CMAKE_BINARY_DIR}/wine/${arch} ${arch}
    COMMENT "Wine prefix ${arch}")
  list(APPEND _prefixes ${CMAKE_BINARY_DIR}/wine/${arch}/.ready)
endforeach()
add_custom_target(wine_prefixes ALL DEPENDS ${_prefixes})

set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${CMAKE_BINARY_DIR}/win32/WinTests.cmake)

add_test(NAME setup.binary
  COMMAND ${PROJECT_SOURCE_DIR}/tests/win/setup/check_binary.sh ${CMAKE_BINARY_DIR}/Setup.exe)
set_tests_properties(setup.binary PROPERTIES LABELS native)
