# libpng for the Windows build, cross-built from Debian's patched libpng1.6
# source package (Debian ships no mingw libpng). The source package is fetched
# with apt-get and unpacked into a cache folder of the build tree, never into
# the repository. zlib comes from libz-mingw-w64-dev.
set(ZLIB_USE_STATIC_LIBS ON)
find_package(ZLIB REQUIRED)

set(PROMO_DEPS_CACHE "${CMAKE_BINARY_DIR}/_deps-cache")
set(_png_src "${PROMO_DEPS_CACHE}/libpng1.6")
if(NOT EXISTS "${_png_src}/CMakeLists.txt")
  file(MAKE_DIRECTORY "${PROMO_DEPS_CACHE}/download")
  include(${CMAKE_CURRENT_LIST_DIR}/VerifyDsc.cmake)
  file(GLOB _dsc "${PROMO_DEPS_CACHE}/download/libpng1.6_*.dsc")
  if(NOT _dsc)
    promo_fetch_debian_source(libpng1.6 "${PROMO_DEPS_CACHE}/download" _dsc)
  endif()
  # The tarballs must be the ones the .dsc names (apt checked the .dsc
  # against the archive's signed index). dpkg-source checks them as well;
  # the archive key is not in its keyring, so it only warns about the .dsc's
  # own signature.
  list(LENGTH _dsc _dsc_count)
  if(NOT _dsc_count EQUAL 1)
    message(FATAL_ERROR "More than one libpng1.6 source in ${PROMO_DEPS_CACHE}/download: ${_dsc}")
  endif()
  promo_verify_dsc("${_dsc}" _dsc_error)
  if(_dsc_error)
    message(FATAL_ERROR "libpng source rejected: ${_dsc_error}\n"
      "Delete ${PROMO_DEPS_CACHE}/download to fetch it again.")
  endif()
  execute_process(COMMAND dpkg-source -x "${_dsc}" "${_png_src}"
    WORKING_DIRECTORY "${PROMO_DEPS_CACHE}/download"
    RESULT_VARIABLE _rc OUTPUT_QUIET ERROR_VARIABLE _err)
  if(NOT _rc EQUAL 0)
    file(REMOVE_RECURSE "${_png_src}")
    message(FATAL_ERROR "dpkg-source -x failed: ${_err}")
  endif()
endif()

# libpng's CMake ignores plain set() for its options (CMP0077 is OLD there).
set(PNG_SHARED OFF CACHE BOOL "" FORCE)
set(PNG_STATIC ON CACHE BOOL "" FORCE)
set(PNG_TESTS OFF CACHE BOOL "" FORCE)
set(PNG_EXECUTABLES OFF CACHE BOOL "" FORCE)
set(PNG_TOOLS OFF CACHE BOOL "" FORCE)  # the newer name of the same switch
set(PNG_HARDWARE_OPTIMIZATIONS OFF CACHE BOOL "" FORCE)
set(SKIP_INSTALL_ALL ON CACHE BOOL "" FORCE)
add_subdirectory("${_png_src}" "${CMAKE_BINARY_DIR}/_libpng" EXCLUDE_FROM_ALL)
target_include_directories(png_static INTERFACE "${_png_src}" "${CMAKE_BINARY_DIR}/_libpng")
add_library(PNG::PNG ALIAS png_static)
# Each function in its own section, so that the program keeps only the
# decoding half (the writer serves the tests and the proof sheet).
target_compile_options(png_static PRIVATE -ffunction-sections -fdata-sections)
