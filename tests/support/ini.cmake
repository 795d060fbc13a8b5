# Tests of the INI files.
promo_host_test(ini_host_tests
  ${CMAKE_CURRENT_LIST_DIR}/IniCodecTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/IniDocumentTest.cpp)
promo_win_test(ini_win_tests
  ${CMAKE_CURRENT_LIST_DIR}/IniFilesWinTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/IniCodecTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/IniDocumentTest.cpp)
