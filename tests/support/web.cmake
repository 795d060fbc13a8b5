# Tests of the web routines.
promo_host_test(web_host_tests ${CMAKE_CURRENT_LIST_DIR}/RequestTargetTest.cpp)
if(WIN32)
  # Stand-in browser that records how it was started.
  add_executable(url_capture WIN32 ${PROJECT_SOURCE_DIR}/tests/tools/UrlCapture.cpp)
  target_link_options(url_capture PRIVATE -municode)

  promo_win_test(promo_web_win_tests ${CMAKE_CURRENT_LIST_DIR}/WebHttpTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WebBrowserTest.cpp ${CMAKE_CURRENT_LIST_DIR}/RequestTargetTest.cpp)
  target_link_libraries(promo_web_win_tests PRIVATE ws2_32)
  target_compile_definitions(promo_web_win_tests PRIVATE
    PROMO_URL_CAPTURE_EXE="$<TARGET_FILE:url_capture>")
  add_dependencies(promo_web_win_tests url_capture)
endif()
