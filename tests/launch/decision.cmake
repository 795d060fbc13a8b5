# Tests of the show decision, the shown marker and quiet time (included from
# CMakeLists.txt of this folder).
promo_host_test(launch_decision_host_tests ShowDecisionTest.cpp QuietTimeTest.cpp)

if(WIN32)
  promo_win_test(launch_decision_win_tests ShownMarkerWinTest.cpp FullScreenWinTest.cpp
    ProcessListWinTest.cpp FocusHookWinTest.cpp)

  # Stand-ins for "Focus.dll": answering false (also placed beside the test
  # exe, as the program's own library), answering true, without the export,
  # faulting, raising and breaking the calling convention in the export,
  # never answering, and faulting with detach code that leaves a note; plus our real library. Each lands in focus-cases/<case>/Focus.dll.
  set(focus_cases_dir ${CMAKE_CURRENT_BINARY_DIR}/focus-cases)
  foreach(case false true noexport fault throw dirty hang faultnote)
    add_library(FocusTest_${case} SHARED FocusTestDll.c)
    target_link_options(FocusTest_${case} PRIVATE -Wl,--kill-at)
    set_target_properties(FocusTest_${case} PROPERTIES OUTPUT_NAME Focus PREFIX ""
      RUNTIME_OUTPUT_DIRECTORY ${focus_cases_dir}/${case}
      ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/focus-implib/${case})
    add_dependencies(launch_decision_win_tests FocusTest_${case})
  endforeach()
  target_compile_definitions(FocusTest_false PRIVATE FOCUS_TEST_RESULT=0)
  target_compile_definitions(FocusTest_true PRIVATE FOCUS_TEST_RESULT=1)
  target_compile_definitions(FocusTest_noexport PRIVATE FOCUS_TEST_NO_EXPORT)
  target_compile_definitions(FocusTest_fault PRIVATE FOCUS_TEST_FAULT)
  target_compile_definitions(FocusTest_throw PRIVATE FOCUS_TEST_THROW)
  target_compile_definitions(FocusTest_dirty PRIVATE FOCUS_TEST_DIRTY)
  target_compile_definitions(FocusTest_hang PRIVATE FOCUS_TEST_HANG FOCUS_TEST_DETACH_NOTE)
  target_compile_definitions(FocusTest_faultnote PRIVATE FOCUS_TEST_FAULT FOCUS_TEST_DETACH_NOTE)
  add_dependencies(launch_decision_win_tests FocusHook)
  add_custom_command(TARGET launch_decision_win_tests POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:FocusTest_false>
      $<TARGET_FILE_DIR:launch_decision_win_tests>/Focus.dll
    COMMAND ${CMAKE_COMMAND} -E make_directory ${focus_cases_dir}/real
    COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:FocusHook> ${focus_cases_dir}/real/Focus.dll
    VERBATIM)
endif()

if(WIN32)
  # The full-screen "game" of the end-to-end decision tests.
  add_executable(FullScreenWindow WIN32 FullScreenWindow.cpp)
  target_link_options(FullScreenWindow PRIVATE -municode)
endif()
