# Helpers shared by the layers' CMakeLists.

# vantrel_library(NAME SOURCES ... [DEPS ...]): one static library per layer, called from the
# layer's folder src/LAYER. Its include root build/include/NAME/ holds LAYER/ with links to this
# layer's headers and nothing else; a target sees the roots of the libraries it links and no
# other, so including "layer/file.hpp" of a layer it does not link fails to build instead of
# linking by luck.
function(vantrel_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    file(RELATIVE_PATH layer "${CMAKE_SOURCE_DIR}/src" "${CMAKE_CURRENT_SOURCE_DIR}")
    set(include_root "${CMAKE_BINARY_DIR}/include/${name}")
    # Made afresh at every configure, so a removed header leaves no link behind;
    # CONFIGURE_DEPENDS reconfigures when a header is added or removed.
    file(REMOVE_RECURSE "${include_root}")
    file(MAKE_DIRECTORY "${include_root}/${layer}")
    file(GLOB headers CONFIGURE_DEPENDS RELATIVE "${CMAKE_CURRENT_SOURCE_DIR}"
         "${CMAKE_CURRENT_SOURCE_DIR}/*.hpp")
    foreach(header IN LISTS headers)
        file(CREATE_LINK "${CMAKE_CURRENT_SOURCE_DIR}/${header}"
             "${include_root}/${layer}/${header}" SYMBOLIC)
    endforeach()
    target_include_directories(${name} PUBLIC "${include_root}")
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
    # src/ only through the include roots of the libraries in LIBS.
    target_include_directories(${name} PRIVATE "${CMAKE_SOURCE_DIR}/tests")
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
