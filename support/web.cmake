# Web routines: URL cracking, HTTP POST, browser launch.
if(WIN32)
  target_sources(promo_win PRIVATE WebRoutines.cpp)
  # The desktop shell's dispatch interfaces: BSTR/VARIANT helpers and the shell GUIDs.
  target_link_libraries(promo_win PUBLIC uuid)
endif()
