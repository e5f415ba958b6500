# Third-party C code compiled from Debian's source packages (fetched into the
# ignored cache by scripts/fetch-deps.sh) or from directories given by the
# builder: -DMINIZIP_SOURCE_DIR=... -DLZMA_SOURCE_DIR=...
set(DEPS_CACHE_DIR "${PROJECT_SOURCE_DIR}/.cache/deps" CACHE PATH "Where fetch-deps.sh puts sources")
set(MINIZIP_SOURCE_DIR "${DEPS_CACHE_DIR}/minizip" CACHE PATH "minizip 1.1 sources (unzip.c, zip.c, ioapi.c)")
set(LZMA_SOURCE_DIR "${DEPS_CACHE_DIR}/lzma" CACHE PATH "LZMA SDK 9.22 (its C/ directory holds LzmaDec.c)")

foreach(f "${MINIZIP_SOURCE_DIR}/unzip.c" "${LZMA_SOURCE_DIR}/C/LzmaDec.c")
  if(NOT EXISTS "${f}")
    message(FATAL_ERROR "${f} not found: run scripts/fetch-deps.sh or set MINIZIP_SOURCE_DIR / LZMA_SOURCE_DIR")
  endif()
endforeach()

# zlib: Debian's mingw package on Windows (static archive, never the DLL), the
# system library natively.
if(WIN32)
  find_library(ZLIB_STATIC NAMES libz.a REQUIRED)
  find_path(ZLIB_INCLUDE zlib.h REQUIRED)
  add_library(zlib_static STATIC IMPORTED)
  set_target_properties(zlib_static PROPERTIES IMPORTED_LOCATION "${ZLIB_STATIC}"
    INTERFACE_INCLUDE_DIRECTORIES "${ZLIB_INCLUDE}")
  set(ZLIB_TARGET zlib_static)
else()
  find_package(ZLIB REQUIRED)
  set(ZLIB_TARGET ZLIB::ZLIB)
endif()

set(_lz "${LZMA_SOURCE_DIR}/C")
# Alloc.c: Lzma86Dec allocates its probability tables through MyAlloc.
add_library(lzma_dec STATIC ${_lz}/LzmaDec.c ${_lz}/Lzma86Dec.c ${_lz}/Bra86.c ${_lz}/Alloc.c)
target_include_directories(lzma_dec SYSTEM PUBLIC ${_lz})
target_compile_definitions(lzma_dec PUBLIC _7ZIP_ST)

add_library(minizip_unzip STATIC ${MINIZIP_SOURCE_DIR}/unzip.c ${MINIZIP_SOURCE_DIR}/ioapi.c)
target_include_directories(minizip_unzip SYSTEM PUBLIC ${MINIZIP_SOURCE_DIR})
target_compile_options(minizip_unzip PRIVATE -w)
target_link_libraries(minizip_unzip PUBLIC ${ZLIB_TARGET})

# Encoders: the package tool, and the Windows tests that build packages.
add_library(lzma_enc STATIC ${_lz}/LzmaEnc.c ${_lz}/LzFind.c ${_lz}/Lzma86Enc.c)
target_include_directories(lzma_enc SYSTEM PUBLIC ${_lz})
target_compile_definitions(lzma_enc PUBLIC _7ZIP_ST)
target_link_libraries(lzma_enc PUBLIC lzma_dec)

add_library(minizip_zip STATIC ${MINIZIP_SOURCE_DIR}/zip.c)
target_compile_options(minizip_zip PRIVATE -w)
target_link_libraries(minizip_zip PUBLIC minizip_unzip)
