# Helpers shared by the layers' CMakeLists.

# vantrel_library(NAME SOURCES ... [DEPS ...]): one static library per layer, include root src/.
function(vantrel_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC "${CMAKE_SOURCE_DIR}/src")
    if(ARG_DEPS)
        target_link_libraries(${name} PUBLIC ${ARG_DEPS})
    endif()
endfunction()

# The tests of one label, for building only them: LABELS fuzz (random and mutated input) adds
# to fuzz_tests, LABELS threads (code that starts threads; ThreadSanitizer runs them in
# scripts/test) to thread_tests.
foreach(label_target IN ITEMS fuzz_tests thread_tests)
    if(NOT TARGET ${label_target})
        add_custom_target(${label_target})
    endif()
endforeach()

# vantrel_add_test(NAME SOURCES ... [LIBS ...] [LABELS ...] [FIXTURES ...])
# One GoogleTest executable under build/tests; every test case becomes a CTest test.
# FIXTURES names CTest fixtures the tests require (e.g. mssql_double).
function(vantrel_add_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS;FIXTURES" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
    target_include_directories(${name} PRIVATE "${CMAKE_SOURCE_DIR}/src" "${CMAKE_SOURCE_DIR}/tests")
    target_compile_definitions(${name} PRIVATE
        VANTREL_TESTDATA_DIR="${VANTREL_TESTDATA_DIR}"
        VANTREL_BUILD_DIR="${CMAKE_BINARY_DIR}"
        VANTREL_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/tests")
    set(props "")
    if(ARG_LABELS)
        list(APPEND props LABELS "${ARG_LABELS}")
    endif()
    if(ARG_FIXTURES)
        list(APPEND props FIXTURES_REQUIRED "${ARG_FIXTURES}")
    endif()
    if(props)
        gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
            PROPERTIES ${props})
    else()
        gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120)
    endif()
    if("fuzz" IN_LIST ARG_LABELS)
        add_dependencies(fuzz_tests ${name})
    endif()
    if("threads" IN_LIST ARG_LABELS)
        add_dependencies(thread_tests ${name})
    endif()
endfunction()
