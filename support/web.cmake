# Web routines: URL cracking, HTTP POST, browser launch.
target_sources(promo_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/RequestTarget.cpp)
if(WIN32)
  target_sources(promo_win PRIVATE ${CMAKE_CURRENT_LIST_DIR}/WebRoutines.cpp)
  # The desktop shell's dispatch interfaces and the shell GUIDs.
  target_link_libraries(promo_win PUBLIC uuid)
endif()
