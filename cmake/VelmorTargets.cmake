# One static library per source folder. Sources are found by glob so that adding a file needs no
# edit here; CONFIGURE_DEPENDS makes the build notice new files.

# Product libraries compile their files in batches of 16: each batch parses the Qt headers and
# emits their inline code once, which halves the CPU a fresh build of the app takes. (Precompiled
# headers were measured too: with debug information GCC spends 11-15 s on each target's header,
# more than it saves once files are batched.) The clang build keeps one file per compile, so a
# file that relies on another's includes or names still fails there.
option(VELMOR_UNITY_BUILD "Compile each library's files in batches" ON)
set(VELMOR_UNITY_BATCH 16 CACHE STRING "Files per batch of a unity build")
set(VELMOR_TEST_UNITY_BATCH 8 CACHE STRING "Test files per batch of a unity build")

set(VELMOR_WARNINGS -Wall -Wextra -Werror -Wshadow -Wnon-virtual-dtor -Wold-style-cast -Woverloaded-virtual)

function(velmor_apply_options target)
    target_compile_options(${target} PRIVATE ${VELMOR_WARNINGS})
    get_target_property(type ${target} TYPE)
    if(VELMOR_UNITY_BUILD AND NOT type STREQUAL "EXECUTABLE")
        set_target_properties(${target} PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE ${VELMOR_UNITY_BATCH})
    endif()
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
    # The leak checker asks the program itself for its suppressions, which a static library's
    # object would never be linked in to answer.
    add_executable(${name} ${sources} ${PROJECT_SOURCE_DIR}/tests/support/sanitizer_options.cpp)
    target_link_libraries(${name} PRIVATE ${ARG_LINKS} velmor_test_support GTest::gtest GTest::gmock)
    velmor_apply_options(${name})
    # A test's own code runs once and does little: unoptimised it compiles in half the time, while
    # the code under test keeps the build's optimisation in its libraries.
    if(CMAKE_BUILD_TYPE STREQUAL "RelWithDebInfo")
        target_compile_options(${name} PRIVATE -O0)
    endif()
    # Test files are batched like the libraries' (smaller batches: a test file instantiates more
    # templates of its own), so GoogleTest's and Qt's headers are parsed once per batch.
    if(VELMOR_UNITY_BUILD)
        set_target_properties(${name} PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE ${VELMOR_TEST_UNITY_BATCH})
        # A batch includes its test files, so GCC takes their file-local fixtures for a header's and
        # warns that the tests derived from them are file-local too: true, and meant.
        if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
            target_compile_options(${name} PRIVATE -Wno-subobject-linkage)
        endif()
    endif()
    gtest_discover_tests(${name}
        DISCOVERY_MODE PRE_TEST
        PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
                   TIMEOUT 300)
endfunction()

# velmor_qml_module(<name> DIRECTORY <dir> URI <Velmor.Folder> LINKS <targets...> [IMPORTS <modules...>]
#                   [DEPENDENCIES <modules...>]):
# one QML module per UI folder, a static library with its C++ presenters (QML_ELEMENT) and the
# folder's QML files. Its qmldir and type information go under build/qml, where qmllint and the
# tests import them from; programs load it through velmor::registerQmlModules(). IMPORTS go into
# the qmldir, so whoever imports the module gets them too (a style names its fallback so).
# DEPENDENCIES name the modules whose types this one's types build on (a base class), so the QML
# tools find them.
set(VELMOR_QML_DIRECTORY ${CMAKE_BINARY_DIR}/qml)
function(velmor_qml_module name)
    cmake_parse_arguments(ARG "" "DIRECTORY;URI" "LINKS;IMPORTS;DEPENDENCIES" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${ARG_DIRECTORY}/*.cpp ${ARG_DIRECTORY}/*.h)
    file(GLOB qml_files CONFIGURE_DEPENDS RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${ARG_DIRECTORY}/*.qml)
    string(REPLACE "." "/" target_path ${ARG_URI})
    string(REPLACE "." "" class_name ${ARG_URI})
    qt_add_library(${name} STATIC)
    # The QML is compiled once, when the module is built, instead of at every start of the app.
    # Bytecode only: the C++ the ahead-of-time compiler writes does not build with our warnings,
    # and costs more to compile than it saves when the windows open.
    set_target_properties(${name} PROPERTIES QT_QMLCACHEGEN_ARGUMENTS --only-bytecode)
    # The QML files sit in the folder itself: name them by their file names inside the module.
    foreach(file ${qml_files})
        get_filename_component(alias ${file} NAME)
        set_source_files_properties(${file} PROPERTIES QT_RESOURCE_ALIAS ${alias})
    endforeach()
    qt_add_qml_module(${name}
        URI ${ARG_URI}
        VERSION 1.0
        RESOURCE_PREFIX /qt/qml
        OUTPUT_DIRECTORY ${VELMOR_QML_DIRECTORY}/${target_path}
        CLASS_NAME ${class_name}Plugin
        PLUGIN_TARGET ${name}_plugin
        DEPENDENCIES QtQuick ${ARG_DEPENDENCIES}
        IMPORTS ${ARG_IMPORTS}
        QML_FILES ${qml_files}
        SOURCES ${sources})
    get_filename_component(folder ${ARG_DIRECTORY} ABSOLUTE)
    # The generated type registration includes the presenters' headers by their bare names.
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src PRIVATE ${folder})
    target_link_libraries(${name} PUBLIC ${ARG_LINKS} Qt6::Quick Qt6::QuickControls2)
    velmor_apply_options(${name})
    set_property(GLOBAL APPEND PROPERTY VELMOR_QML_PLUGINS ${name}_plugin)
endfunction()
