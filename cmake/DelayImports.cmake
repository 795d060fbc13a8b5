# Delay-loaded system libraries.
#
# The libraries the program needs only when it is dismissed (WinInet and COM
# for the statistics request and the browser, the version reader for the
# purchase address) or only once the mouse rests on the window (the common
# controls, for the tooltip) are bound on their first call instead of by the
# loader at start: the window appears sooner and smaller. The first call loads
# the library through the restricted search order set up at start.
#
# promo_delay_import_library(<name> <dll>) makes the target promo_delay_<name>,
# a delay-import library with every export of mingw-w64's import library
# lib<name>.a (so new calls need no list kept here), built with dlltool.

find_program(PROMO_DLLTOOL NAMES ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32-dlltool i686-w64-mingw32-dlltool
  REQUIRED)
find_program(PROMO_NM NAMES ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32-nm i686-w64-mingw32-nm REQUIRED)

function(promo_delay_import_library name dll)
  find_library(PROMO_IMPORT_${name} NAMES ${name} REQUIRED NO_CACHE)
  set(out ${CMAKE_BINARY_DIR}/delayimp/lib${name}_delay.a)
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -DNM=${PROMO_NM} -DDLLTOOL=${PROMO_DLLTOOL} -DIMPORT_LIB=${PROMO_IMPORT_${name}}
            -DDLL=${dll} -DOUT=${out} -P ${PROJECT_SOURCE_DIR}/cmake/MakeDelayImport.cmake
    DEPENDS ${PROMO_IMPORT_${name}} ${PROJECT_SOURCE_DIR}/cmake/MakeDelayImport.cmake
    COMMENT "Delay-import library for ${dll}" VERBATIM)
  add_custom_target(promo_delay_${name}_lib DEPENDS ${out})
  add_library(promo_delay_${name} STATIC IMPORTED GLOBAL)
  set_target_properties(promo_delay_${name} PROPERTIES IMPORTED_LOCATION ${out})
  add_dependencies(promo_delay_${name} promo_delay_${name}_lib)
endfunction()
