# tovo_add_test(<name> SOURCES <files...> [LIBS <targets...>] [SESSION_BUS] [TIMEOUT <s>] [LABELS <l...>])
#
# Every test of the project is registered here: a QtTest executable run on the offscreen platform
# with a private, freshly made XDG folder tree, and with SESSION_BUS under its own session bus.
set(TOVO_TEST_RUNNER ${CMAKE_CURRENT_LIST_DIR}/../tests/support/run-test.sh)

function(tovo_add_test name)
    cmake_parse_arguments(ARG "SESSION_BUS" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE Qt6::Test tovo_compiler_options ${ARG_LIBS})
    set(options)
    if(ARG_SESSION_BUS)
        list(APPEND options SESSION_BUS)
    endif()
    if(ARG_TIMEOUT)
        list(APPEND options TIMEOUT ${ARG_TIMEOUT})
    endif()
    tovo_register_test(${name} ${options} LABELS "${ARG_LABELS}" COMMAND $<TARGET_FILE:${name}>)
endfunction()

# tovo_register_test(<name> [SESSION_BUS] [TIMEOUT <s>] [LABELS <l...>] COMMAND <command...>)
#
# Registers a command built some other way (the fuzz targets' corpus replays) with the same runner.
function(tovo_register_test name)
    cmake_parse_arguments(ARG "SESSION_BUS" "TIMEOUT" "LABELS;COMMAND" ${ARGN})
    set(runner_args)
    if(ARG_SESSION_BUS)
        list(APPEND runner_args --session-bus)
    endif()
    add_test(NAME ${name} COMMAND ${TOVO_TEST_RUNNER} ${runner_args} -- ${ARG_COMMAND})
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 120)
    endif()
    set_tests_properties(${name} PROPERTIES
        TIMEOUT ${ARG_TIMEOUT}
        LABELS "${ARG_LABELS}"
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;TOVO_TEST_SOURCE_DIR=${PROJECT_SOURCE_DIR};TOVO_TEST_OUTPUT_DIR=${PROJECT_BINARY_DIR}/test-output")
endfunction()
