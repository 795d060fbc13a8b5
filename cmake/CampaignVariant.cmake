# promo_campaign_variant(<name> <folder> <stats host> <min uptime ms>)
# The program and PromoCheck.exe for another campaign folder, in
# <build>/campaign-<name>/ beside a copy of Focus.dll: the libraries are the
# shipping build's; only the translation units that compile the campaign's
# identifiers in (PROMO_CAMPAIGN_SOURCES) are compiled again over the
# folder's header and linked ahead of the libraries, so the linker takes
# them instead of the libraries' copies. The text table, window description
# and pictures, end date and purchase hosts are the folder's; the statistics
# host and the uptime threshold are given, so that the variant can run
# against a loopback receiver.
function(promo_campaign_variant name folder stats_host min_uptime)
  set(generated "${CMAKE_BINARY_DIR}/campaign/${name}")
  promo_campaign("${folder}" "${generated}")
  set(out "${CMAKE_BINARY_DIR}/campaign-${name}")
  set(settings "${generated}/Settings.cpp")
  promo_write_settings("${settings}" "${stats_host}" "${CAMPAIGN_PURCHASE_HOST}" "${CAMPAIGN_PURCHASE_HOST_RU}"
    "${CAMPAIGN_END}" "${min_uptime}")

  set(objects promo_campaign_${name}_objects)
  list(TRANSFORM PROMO_CAMPAIGN_SOURCES PREPEND "${PROJECT_SOURCE_DIR}/" OUTPUT_VARIABLE sources)
  add_library(${objects} OBJECT ${sources})
  target_include_directories(${objects} BEFORE PRIVATE "${generated}")
  target_link_libraries(${objects} PRIVATE promo_win)

  set(program PellorinPromo_${name})
  add_executable(${program} WIN32 ${PROJECT_SOURCE_DIR}/launch/Main.cpp
    ${PROJECT_SOURCE_DIR}/resources/PellorinPromo.rc "${settings}" $<TARGET_OBJECTS:${objects}>)
  target_include_directories(${program} BEFORE PRIVATE "${generated}")
  target_link_options(${program} PRIVATE -municode)
  target_link_libraries(${program} PRIVATE promo_win)
  set_target_properties(${program} PROPERTIES OUTPUT_NAME PellorinPromo RUNTIME_OUTPUT_DIRECTORY "${out}")
  set_source_files_properties(${PROJECT_SOURCE_DIR}/resources/PellorinPromo.rc TARGET_DIRECTORY ${program}
    PROPERTIES OBJECT_DEPENDS
    "${PROJECT_SOURCE_DIR}/resources/Window.rc;${PROJECT_SOURCE_DIR}/resources/Texts.rc;${CAMPAIGN_TEXTS};${generated}/campaign/CampaignTexts.rc;${PROJECT_SOURCE_DIR}/resources/PellorinPromo.manifest;${PROMO_GENERATED_DIR}/PromoVersion.h")
  promo_window_description(${program} TFORMSALE "${CAMPAIGN_DESCRIPTION}" "${CAMPAIGN_PICTURES}")
  add_custom_command(TARGET ${program} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:FocusHook> "${out}/Focus.dll"
    VERBATIM)
  add_dependencies(${program} FocusHook)

  set(check PromoCheck_${name})
  add_executable(${check} ${PROJECT_SOURCE_DIR}/check/PromoCheck.cpp ${PROJECT_SOURCE_DIR}/check/PromoCheck.rc
    "${settings}" $<TARGET_OBJECTS:${objects}>)
  target_include_directories(${check} BEFORE PRIVATE "${generated}")
  target_include_directories(${check} PRIVATE ${PROJECT_SOURCE_DIR}/resources ${PROJECT_SOURCE_DIR}/check)
  target_link_options(${check} PRIVATE -municode)
  target_link_libraries(${check} PRIVATE promo_check promo_win)
  set_target_properties(${check} PROPERTIES OUTPUT_NAME PromoCheck RUNTIME_OUTPUT_DIRECTORY "${out}")
  set_source_files_properties(${PROJECT_SOURCE_DIR}/check/PromoCheck.rc TARGET_DIRECTORY ${check}
    PROPERTIES OBJECT_DEPENDS
    "${PROJECT_SOURCE_DIR}/check/PromoCheck.manifest;${PROJECT_SOURCE_DIR}/resources/Texts.rc;${CAMPAIGN_TEXTS};${generated}/campaign/CampaignTexts.rc")
endfunction()
