# Tests of the show decision, the shown marker and quiet time (included from
# CMakeLists.txt of this folder).
promo_host_test(launch_decision_host_tests ShowDecisionTest.cpp QuietTimeTest.cpp)
