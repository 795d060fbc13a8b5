# The build settings. Their defaults make the shipping build; nothing else
# differs between builds. The test/demo variant of the program (built beside
# the shipping one) overrides the campaign end, the uptime threshold and the
# statistics host so that the real program can run today against a loopback
# receiver.
set(PROMO_STATS_HOST "stats.pellorin.example" CACHE STRING "Statistics server host[:port]")
set(PROMO_PURCHASE_HOST "www.pellorin.example" CACHE STRING "Purchase site host[:port]")
set(PROMO_PURCHASE_HOST_RU "ru.pellorin.example" CACHE STRING "Regional (ru) purchase site host[:port]")
set(PROMO_CAMPAIGN_END "2020-9-22" CACHE STRING "Campaign end, yyyy-M-d local time")
set(PROMO_MIN_UPTIME_MS "600000" CACHE STRING "System uptime to wait for, in ms")

# Settings of the test/demo variant.
set(PROMO_DEMO_CAMPAIGN_END "2099-12-31" CACHE STRING "Campaign end of the test/demo variant")
set(PROMO_DEMO_MIN_UPTIME_MS "1000" CACHE STRING "Uptime threshold of the test/demo variant")
# The statistics port of the test/demo variant is chosen once per build tree,
# among the loopback ports free at the first configure and outside the usual
# ephemeral range, so that two build trees on one machine can run their
# end-to-end tests at the same time. The e2e tests read it from the cache.
if(NOT DEFINED PROMO_DEMO_STATS_HOST)
  find_package(Python3 QUIET COMPONENTS Interpreter)
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
