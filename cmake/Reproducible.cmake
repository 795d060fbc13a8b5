# Byte-identical Windows binaries from the same source and settings, wherever
# and whenever they are built, so that anyone can rebuild a shipped file and
# compare it (scripts/check-reproducible.sh does, in two folders).
#
# Included after project() (the platform module sets the archive rules there)
# and before libpng is added, so that its sources get the same options.

# No build folder in the binaries: __FILE__ and any debug or line record name
# the source and build trees by fixed words. GCC applies the last matching
# map, so the build tree (often inside the source tree) comes second.
# And no build date or time: __DATE__, __TIME__ and __TIMESTAMP__ are errors.
add_compile_options(
  "-ffile-prefix-map=${PROJECT_SOURCE_DIR}=src"
  "-ffile-prefix-map=${CMAKE_BINARY_DIR}=build"
  -Werror=date-time)

# No link time in the PE header (nor in a DLL's export directory): the
# Time/Date field is 0. The checksum ld writes is then a function of the bytes.
add_link_options(-Wl,--no-insert-timestamp)

# Deterministic archives: member times, owners and modes all zero, whatever
# the binutils build defaults to.
foreach(lang C CXX RC)
  set(CMAKE_${lang}_ARCHIVE_CREATE "<CMAKE_AR> qcD <TARGET> <LINK_FLAGS> <OBJECTS>")
  set(CMAKE_${lang}_ARCHIVE_APPEND "<CMAKE_AR> qD <TARGET> <LINK_FLAGS> <OBJECTS>")
  set(CMAKE_${lang}_ARCHIVE_FINISH "<CMAKE_RANLIB> -D <TARGET>")
endforeach()

# The version: one number, project(... VERSION), which the version records of
# the resources take from a generated header.
set(PROMO_VERSION_QUAD
  "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0")
if(NOT "${PROJECT_VERSION_TWEAK}" STREQUAL "")
  set(PROMO_VERSION_QUAD
    "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.${PROJECT_VERSION_TWEAK}")
endif()
string(REPLACE "." "," PROMO_VERSION_COMMAS "${PROMO_VERSION_QUAD}")
set(PROMO_GENERATED_DIR "${CMAKE_BINARY_DIR}/generated")
configure_file("${PROJECT_SOURCE_DIR}/resources/PromoVersion.h.in"
  "${PROMO_GENERATED_DIR}/PromoVersion.h" @ONLY)
string(APPEND CMAKE_RC_FLAGS " -I${PROMO_GENERATED_DIR}")
