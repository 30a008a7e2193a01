# One static library per source folder. Sources are found by glob so that adding a file needs no
# edit here; CONFIGURE_DEPENDS makes the build notice new files.

set(VELMOR_WARNINGS -Wall -Wextra -Werror -Wshadow -Wnon-virtual-dtor -Wold-style-cast -Woverloaded-virtual)

function(velmor_apply_options target)
    target_compile_options(${target} PRIVATE ${VELMOR_WARNINGS})
    target_compile_definitions(${target} PRIVATE QT_NO_KEYWORDS)
    if(VELMOR_FUZZ)
        # Coverage feedback for libFuzzer everywhere; the harness programs add the fuzzer's main.
        target_compile_options(${target} PRIVATE -fsanitize=fuzzer-no-link,address,undefined
                                                 -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
        target_link_options(${target} PRIVATE -fsanitize=address,undefined)
    elseif(VELMOR_SANITIZE)
        target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-omit-frame-pointer
                                                 -fno-sanitize-recover=undefined)
        target_link_options(${target} PRIVATE -fsanitize=address,undefined)
    endif()
endfunction()

# velmor_library(<name> DIRECTORY <dir> [EXCLUDE <regex>] LINKS <targets...>)
function(velmor_library name)
    cmake_parse_arguments(ARG "" "DIRECTORY;EXCLUDE" "LINKS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${ARG_DIRECTORY}/*.cpp ${ARG_DIRECTORY}/*.h)
    if(ARG_EXCLUDE)
        list(FILTER sources EXCLUDE REGEX "${ARG_EXCLUDE}")
    endif()
    list(FILTER sources INCLUDE REGEX "\\.cpp$")
    if(NOT sources)
        # A folder whose first files are still to come: keep the target so the links stay valid.
        add_library(${name} INTERFACE)
        target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
        target_link_libraries(${name} INTERFACE ${ARG_LINKS})
        return()
    endif()
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${ARG_LINKS})
    velmor_apply_options(${name})
endfunction()

# velmor_tests(<name> DIRECTORY <dir> [EXCLUDE <regex>] LINKS <targets...>): one GoogleTest
# program per test folder.
function(velmor_tests name)
    cmake_parse_arguments(ARG "" "DIRECTORY;EXCLUDE" "LINKS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${ARG_DIRECTORY}/*.cpp ${ARG_DIRECTORY}/*.h)
    if(ARG_EXCLUDE)
        list(FILTER sources EXCLUDE REGEX "${ARG_EXCLUDE}")
    endif()
    add_executable(${name} ${sources})
    target_link_libraries(${name} PRIVATE ${ARG_LINKS} velmor_test_support GTest::gtest GTest::gmock)
    velmor_apply_options(${name})
    gtest_discover_tests(${name}
        DISCOVERY_MODE PRE_TEST
        PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8"
                   TIMEOUT 300)
endfunction()
