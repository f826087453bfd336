# What the tests that run under Wine share: the screen and the prefix as CTest fixtures, and their timeouts.
# Every such test goes through oc_wine_test(), so that `ctest --preset win64` (or win32) sets up what it needs
# by itself: the screen (the caller's DISPLAY when usable, else an Xvfb of its own, stopped again at the end)
# and the Wine prefix, whose server and services stay up for the run (a program then starts without booting
# the prefix) and are ended at the end.

# The i686 build runs under 32-bit Wine through qemu, where a program costs about five times the CPU. Timeouts
# and deadlines (never expectations) are multiplied by this factor; the tests read it as OC_TIME_SCALE.
if(OC_WINE_ARCH STREQUAL "win32")
    set(OC_TIME_SCALE 5 CACHE STRING "Factor for the Windows tests' timeouts and deadlines")
else()
    set(OC_TIME_SCALE 1 CACHE STRING "Factor for the Windows tests' timeouts and deadlines")
endif()

set(OC_SCREEN_FILE ${CMAKE_BINARY_DIR}/screen.env)
set(OC_WINE_ENVIRONMENT "OC_SCREEN_FILE=${OC_SCREEN_FILE};OC_TIME_SCALE=${OC_TIME_SCALE}")

add_test(NAME wine_screen_up COMMAND ${PROJECT_SOURCE_DIR}/tools/screen.sh up ${OC_SCREEN_FILE})
add_test(NAME wine_screen_down COMMAND ${PROJECT_SOURCE_DIR}/tools/screen.sh down ${OC_SCREEN_FILE})
set_tests_properties(wine_screen_up PROPERTIES FIXTURES_SETUP wine_screen TIMEOUT 60)
set_tests_properties(wine_screen_down PROPERTIES FIXTURES_CLEANUP wine_screen TIMEOUT 60)

math(EXPR prefix_timeout "120 * ${OC_TIME_SCALE}")
add_test(NAME wine_prefix_up COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} --session)
set_tests_properties(wine_prefix_up PROPERTIES
    FIXTURES_SETUP wine_prefix FIXTURES_REQUIRED wine_screen RESOURCE_LOCK screen
    ENVIRONMENT "${OC_WINE_ENVIRONMENT}" TIMEOUT ${prefix_timeout})

# oc_wine_test(NAME TIMEOUT seconds [SCREEN] [PREFIX dir] [ENVIRONMENT var=value...])
#   SCREEN: the test shows, activates or focuses windows or moves the mouse, and takes the screen alone
#   PREFIX: a prefix of the test's own besides the default one, ended by the clean-up too
function(oc_wine_test name)
    cmake_parse_arguments(arg "SCREEN" "TIMEOUT;PREFIX" "ENVIRONMENT" ${ARGN})
    math(EXPR timeout "${arg_TIMEOUT} * ${OC_TIME_SCALE}")
    set_tests_properties(${name} PROPERTIES
        FIXTURES_REQUIRED "wine_screen;wine_prefix" TIMEOUT ${timeout}
        ENVIRONMENT "${OC_WINE_ENVIRONMENT};${arg_ENVIRONMENT}")
    if(arg_SCREEN)
        set_tests_properties(${name} PROPERTIES RESOURCE_LOCK screen)
    endif()
    if(arg_PREFIX)
        set_property(GLOBAL APPEND PROPERTY OC_TEST_PREFIXES ${arg_PREFIX})
    endif()
endfunction()

# Added last (tests/CMakeLists.txt), when every test has named its prefix.
function(oc_wine_cleanup)
    get_property(prefixes GLOBAL PROPERTY OC_TEST_PREFIXES)
    add_test(NAME wine_prefix_down COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} --end ${prefixes})
    set_tests_properties(wine_prefix_down PROPERTIES
        FIXTURES_CLEANUP wine_prefix FIXTURES_REQUIRED wine_screen
        ENVIRONMENT "${OC_WINE_ENVIRONMENT}" TIMEOUT 120)
endfunction()
