# Tests of the INI files.
promo_host_test(ini_host_tests
  ${CMAKE_CURRENT_LIST_DIR}/IniCodecTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/IniDocumentTest.cpp)
promo_win_test(ini_win_tests
  ${CMAKE_CURRENT_LIST_DIR}/IniFilesWinTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GuardedReplaceWinTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/IniCodecTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/IniDocumentTest.cpp)

# A short fuzz run of the text path (decode, parse, format, re-parse) with the
# committed seed corpus; fuzz/run-ini-fuzz.sh runs it for longer.
if(NOT WIN32)
  find_program(PROMO_FUZZ_CLANGXX NAMES clang++-14 clang++)
  if(PROMO_FUZZ_CLANGXX)
    add_test(NAME ini_fuzz_short
      COMMAND ${CMAKE_COMMAND} -E env CXX_FUZZ=${PROMO_FUZZ_CLANGXX}
              ${PROJECT_SOURCE_DIR}/fuzz/run-ini-fuzz.sh 20 ${CMAKE_BINARY_DIR}/fuzz-ini)
    set_tests_properties(ini_fuzz_short PROPERTIES LABELS host TIMEOUT 600)
  endif()
endif()
