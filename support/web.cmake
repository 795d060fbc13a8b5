# Web routines: URL cracking, HTTP POST, browser launch.
if(WIN32)
  target_sources(promo_win PRIVATE WebRoutines.cpp SystemLibraries.cpp)
  # The desktop shell's dispatch interfaces and the shell GUIDs.
  target_link_libraries(promo_win PUBLIC uuid)
endif()
