# INI files: names, document, text and values, decoding, the three classes.
target_sources(promo_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/TextCodec.cpp
  ${CMAKE_CURRENT_LIST_DIR}/IniNames.cpp
  ${CMAKE_CURRENT_LIST_DIR}/IniDocument.cpp
  ${CMAKE_CURRENT_LIST_DIR}/IniText.cpp
  ${CMAKE_CURRENT_LIST_DIR}/IniValues.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PSafeIniFile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ExtIniFiles.cpp)
if(WIN32)
  target_sources(promo_win PRIVATE ${CMAKE_CURRENT_LIST_DIR}/PSafeIniFileWin.cpp
    ${CMAKE_CURRENT_LIST_DIR}/GuardedReplace.cpp)
endif()
