# Helpers for the test suite: every test runs headless and never hangs in a stack dump.
set(ZUKARO_TEST_ENV
    "QT_QPA_PLATFORM=offscreen"
    "QTEST_DISABLE_STACK_DUMP=1"
    "QT_LOGGING_RULES=qt.qpa.*=false"
    "LC_ALL=C.UTF-8")

# A test program's own code is built for a quick build, not for speed: the code under test keeps
# the build's optimisation, and line tables stay for backtraces. A test file compiles in two
# thirds of the time (tst_listwindow.cpp: 18.6 s at -O2 -g, 12.3 s at -O0 -g1).
set(ZUKARO_TEST_COMPILE_OPTIONS -O0 -g1 CACHE STRING "Options for the test programs' own files")

# zukaro_add_qtest(<name> SOURCES <files...> LIBS <targets...> [LABELS <labels...>] [TIMEOUT <s>])
function(zukaro_add_qtest name)
    cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
    # Test tables read better with plain string literals.
    get_property(defs DIRECTORY PROPERTY COMPILE_DEFINITIONS)
    list(REMOVE_ITEM defs QT_NO_CAST_FROM_ASCII)
    set_property(DIRECTORY PROPERTY COMPILE_DEFINITIONS "${defs}")
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE Qt6::Test ${ARG_LIBS})
    target_compile_options(${name} PRIVATE ${ZUKARO_TEST_COMPILE_OPTIONS})
    add_test(NAME ${name} COMMAND ${name})
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 120)
    endif()
    set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "${ZUKARO_TEST_ENV}"
        TIMEOUT ${ARG_TIMEOUT}
        LABELS "${ARG_LABELS}")
endfunction()
