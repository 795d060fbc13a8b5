# The build settings. Their defaults make the shipping build; nothing else
# differs between builds. The test/demo variant of the program (built beside
# the shipping one) overrides the campaign end, the uptime threshold and the
# statistics host so that the real program can run today against a loopback
# receiver.
find_package(Python3 REQUIRED COMPONENTS Interpreter)

# The campaign: a folder under resources/campaigns/ (or a path to one) with
# its identifiers, dates, hosts and texts (scripts/campaign.py checks it and
# writes what is compiled in). A faulty folder stops the configure step, and
# so the build, which re-runs it when a file of the folder changes.
set(PROMO_CAMPAIGN "kv8-2020" CACHE STRING "Campaign folder: a name under resources/campaigns/, or a path")

# promo_campaign(<folder> <out dir>): checks the folder and writes into
# <out dir> the generated header folder (campaign/CampaignConstants.h,
# campaign/CampaignTexts.rc) and campaign.cmake, which it includes: it sets
# CAMPAIGN_NAME, _END, _STATS_HOST, _PURCHASE_HOST, _PURCHASE_HOST_RU, _TEXTS,
# _DESCRIPTION and _PICTURES in the caller's scope.
macro(promo_campaign folder out_dir)
  execute_process(COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/scripts/campaign.py "${folder}" "${out_dir}"
    RESULT_VARIABLE _promo_campaign_rc ERROR_VARIABLE _promo_campaign_errors)
  file(GLOB_RECURSE _promo_campaign_files "${folder}/*")
  set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
    ${_promo_campaign_files} "${folder}" ${PROJECT_SOURCE_DIR}/scripts/campaign.py)
  if(NOT _promo_campaign_rc EQUAL 0)
    message(FATAL_ERROR "The campaign folder ${folder} is not fit to build:\n${_promo_campaign_errors}")
  endif()
  include("${out_dir}/campaign.cmake")
endmacro()

if(IS_ABSOLUTE "${PROMO_CAMPAIGN}")
  set(PROMO_CAMPAIGN_DIR "${PROMO_CAMPAIGN}")
elseif(PROMO_CAMPAIGN MATCHES "/")
  get_filename_component(PROMO_CAMPAIGN_DIR "${PROMO_CAMPAIGN}" ABSOLUTE BASE_DIR "${PROJECT_SOURCE_DIR}")
else()
  set(PROMO_CAMPAIGN_DIR "${PROJECT_SOURCE_DIR}/resources/campaigns/${PROMO_CAMPAIGN}")
endif()
if(NOT IS_DIRECTORY "${PROMO_CAMPAIGN_DIR}")
  message(FATAL_ERROR "PROMO_CAMPAIGN: no campaign folder ${PROMO_CAMPAIGN_DIR}")
endif()
set(PROMO_CAMPAIGN_GENERATED "${CMAKE_BINARY_DIR}/campaign/shipping")
promo_campaign("${PROMO_CAMPAIGN_DIR}" "${PROMO_CAMPAIGN_GENERATED}")
set(PROMO_CAMPAIGN_TEXTS "${CAMPAIGN_TEXTS}")
set(PROMO_CAMPAIGN_DESCRIPTION "${CAMPAIGN_DESCRIPTION}")
set(PROMO_CAMPAIGN_PICTURES "${CAMPAIGN_PICTURES}")
# For the scripts that name the campaign (release, demo, proof sheet).
set(PROMO_CAMPAIGN_NAME "${CAMPAIGN_NAME}" CACHE INTERNAL "The campaign folder's name")
set(PROMO_CAMPAIGN_FOLDER "${PROMO_CAMPAIGN_DIR}" CACHE INTERNAL "The campaign folder")

# The campaign's end and hosts are the defaults of these cache variables, and
# a value given with -D overrides them. A value still equal to what the
# previous campaign of this build tree gave follows the campaign when
# PROMO_CAMPAIGN changes; one set by hand stays.
foreach(_promo_setting END STATS_HOST PURCHASE_HOST PURCHASE_HOST_RU)
  if(_promo_setting STREQUAL "END")
    set(_promo_var PROMO_CAMPAIGN_END)
    set(_promo_doc "Campaign end, yyyy-M-d local time (default: the campaign's End)")
  else()
    set(_promo_var PROMO_${_promo_setting})
    set(_promo_doc "${_promo_setting} host[:port] (default: the campaign's)")
  endif()
  if(NOT DEFINED CACHE{${_promo_var}} OR
     (DEFINED _PROMO_FROM_CAMPAIGN_${_promo_setting} AND
      "$CACHE{${_promo_var}}" STREQUAL "${_PROMO_FROM_CAMPAIGN_${_promo_setting}}"))
    set(${_promo_var} "${CAMPAIGN_${_promo_setting}}" CACHE STRING "${_promo_doc}" FORCE)
  endif()
  set(_PROMO_FROM_CAMPAIGN_${_promo_setting} "${CAMPAIGN_${_promo_setting}}" CACHE INTERNAL "")
endforeach()
set(PROMO_MIN_UPTIME_MS "600000" CACHE STRING "System uptime to wait for, in ms")

# Settings of the test/demo variant.
set(PROMO_DEMO_CAMPAIGN_END "2099-12-31" CACHE STRING "Campaign end of the test/demo variant")
set(PROMO_DEMO_MIN_UPTIME_MS "1000" CACHE STRING "Uptime threshold of the test/demo variant")
# The statistics port of the test/demo variant is chosen once per build tree,
# among the loopback ports free at the first configure and outside the usual
# ephemeral range, so that two build trees on one machine can run their
# end-to-end tests at the same time. The e2e tests read it from the cache.
if(NOT DEFINED PROMO_DEMO_STATS_HOST)
  set(_promo_port 18931)
  if(Python3_Interpreter_FOUND)
    execute_process(COMMAND ${Python3_EXECUTABLE} -c [=[
import random, socket
for port in random.sample(range(20000, 30000), 200):
    s = socket.socket()
    try:
        s.bind(("127.0.0.1", port))
    except OSError:
        continue
    finally:
        s.close()
    print(port)
    break
]=] OUTPUT_VARIABLE _promo_free_port OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE _promo_rc)
    if(_promo_rc EQUAL 0 AND _promo_free_port MATCHES "^[0-9]+$")
      set(_promo_port ${_promo_free_port})
    endif()
  endif()
  set(PROMO_DEMO_STATS_HOST "127.0.0.1:${_promo_port}" CACHE STRING "Statistics host of the test/demo variant")
endif()
set(PROMO_DEMO_PURCHASE_HOST "${PROMO_PURCHASE_HOST}" CACHE STRING "Purchase host of the test/demo variant")
set(PROMO_DEMO_PURCHASE_HOST_RU "${PROMO_PURCHASE_HOST_RU}" CACHE STRING "Regional purchase host of the test/demo variant")

# promo_write_settings(<out.cpp> <stats> <purchase> <purchase_ru> <end> <uptime>)
function(promo_write_settings out stats purchase purchase_ru campaign_end uptime)
  set(SETTINGS_STATS_HOST "${stats}")
  set(SETTINGS_PURCHASE_HOST "${purchase}")
  set(SETTINGS_PURCHASE_HOST_RU "${purchase_ru}")
  set(SETTINGS_CAMPAIGN_END "${campaign_end}")
  set(SETTINGS_MIN_UPTIME_MS "${uptime}")
  configure_file(${PROJECT_SOURCE_DIR}/support/BuildSettings.cpp.in ${out} @ONLY)
endfunction()
