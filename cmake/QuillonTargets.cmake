# Target helpers shared by every folder: portable libraries, tests, fuzzers, benchmarks.

if(WIN32)
    set(QUILLON_TREE windows)
elseif(NOT DEFINED QUILLON_TREE)
    set(QUILLON_TREE native)
endif()
set(QUILLON_SANITIZE "address" CACHE STRING "Sanitizers of the native tree: address, thread or none")

# Test names carry their tree, so a failure says where it came from; the
# ThreadSanitizer build of the native tree is the tree "tsan", the 32-bit Windows
# build the tree "windows32".
if(QUILLON_TREE STREQUAL "native" AND QUILLON_SANITIZE STREQUAL "thread")
    set(QUILLON_TEST_PREFIX tsan)
elseif(QUILLON_TREE STREQUAL "windows" AND CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(QUILLON_TEST_PREFIX windows32)
else()
    set(QUILLON_TEST_PREFIX ${QUILLON_TREE})
endif()

add_compile_options(-Wall -Wextra -Wno-unused-parameter)

# Unity builds: a target's sources compile in batches of 16, each batch as one file, so that
# the standard library, GoogleTest and <windows.h> are parsed and their templates compiled once a
# batch instead of once a file. The Windows trees build their own code in little over a third of
# the CPU time, the native tree in two thirds. A name local to one file (anonymous namespace,
# static) must therefore be unique within its target.
set(CMAKE_UNITY_BUILD ON)
set(CMAKE_UNITY_BUILD_BATCH_SIZE 16)
# In a batch every file is an included one, so GCC would warn of each test fixture in an
# anonymous namespace as if it stood in a header.
add_compile_options($<$<CXX_COMPILER_ID:GNU>:-Wno-subobject-linkage>)

if(QUILLON_TREE STREQUAL "windows")
    # Every binary carries its own runtime so it runs under a bare Wine prefix.
    add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
    add_link_options(-static -static-libgcc -static-libstdc++)
    # A pointer or handle squeezed into 32 bits, or a callback cast to another
    # signature, is an error in both Windows trees.
    add_compile_options(-Werror=int-to-pointer-cast -Werror=cast-function-type
        $<$<COMPILE_LANGUAGE:C>:-Werror=pointer-to-int-cast> $<$<COMPILE_LANGUAGE:C>:-Werror=int-conversion>)
elseif(QUILLON_TREE STREQUAL "native")
    if(QUILLON_SANITIZE STREQUAL "address")
        add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
        add_link_options(-fsanitize=address,undefined)
    elseif(QUILLON_SANITIZE STREQUAL "thread")
        add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
        add_link_options(-fsanitize=thread)
    endif()
elseif(QUILLON_TREE STREQUAL "fuzz")
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()

# Code with no operating-system header: built in every tree. A Windows header
# in it fails the native build, which keeps the boundary honest.
function(quillon_portable_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    if(QUILLON_TEST_PREFIX STREQUAL "tsan" OR QUILLON_TREE STREQUAL "fuzz")
        # The ThreadSanitizer and fuzz trees build only what their tests and fuzzers need.
        add_library(${name} STATIC EXCLUDE_FROM_ALL ${ARG_SOURCES})
    else()
        add_library(${name} STATIC ${ARG_SOURCES})
    endif()
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_LIBS})
endfunction()

# A GoogleTest program: one CTest entry per program. In the windows tree it runs
# under Wine (the toolchain's emulator) inside the shared Wine session fixture.
# THREADS marks a program whose code runs threads: only those also run in the
# ThreadSanitizer tree.
function(quillon_test name)
    cmake_parse_arguments(ARG "THREADS" "" "SOURCES;LIBS" ${ARGN})
    if(QUILLON_TREE STREQUAL "fuzz" OR (QUILLON_TEST_PREFIX STREQUAL "tsan" AND NOT ARG_THREADS))
        return()
    endif()
    add_executable(${name} ${ARG_SOURCES})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest_main GTest::gmock)
    # Unoptimised: the code under test keeps its tree's optimisation, and the tests' own code,
    # mostly GoogleTest's macros, compiles in half the time (under the sanitizers in a third).
    target_compile_options(${name} PRIVATE -O0)
    add_test(NAME ${QUILLON_TEST_PREFIX}.${name} COMMAND ${name} --gtest_brief=1)
    if(QUILLON_TREE STREQUAL "windows")
        set_tests_properties(${QUILLON_TEST_PREFIX}.${name} PROPERTIES
            FIXTURES_REQUIRED wine_session
            ENVIRONMENT "QUILLON_WINE_DIR=${CMAKE_BINARY_DIR}/wine")
    endif()
endfunction()

# A libFuzzer target: built only in the fuzz tree, where CTest runs it for a short while.
function(quillon_fuzzer name)
    if(NOT QUILLON_TREE STREQUAL "fuzz")
        return()
    endif()
    cmake_parse_arguments(ARG "" "SECONDS" "SOURCES;LIBS" ${ARGN})
    if(NOT ARG_SECONDS)
        set(ARG_SECONDS 15)
    endif()
    add_executable(${name} ${ARG_SOURCES})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS})
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    set(corpus ${CMAKE_BINARY_DIR}/corpus/${name})
    file(MAKE_DIRECTORY ${corpus})
    add_test(NAME fuzz.${name}
        COMMAND ${name} -max_total_time=${ARG_SECONDS} -print_final_stats=0 ${corpus})
endfunction()

# A Google Benchmark program: only in the tree without sanitizers (bench), where
# scripts/bench.sh runs it; the tests never do, so the sanitizer trees skip it.
function(quillon_benchmark name)
    if(NOT QUILLON_TREE STREQUAL "native" OR NOT QUILLON_SANITIZE STREQUAL "none")
        return()
    endif()
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} benchmark::benchmark)
endfunction()

# Adds every direct subfolder of DIR that holds a CMakeLists.txt, in name order,
# so that a new component needs no edit of a shared list.
function(quillon_add_subdirectories dir)
    cmake_parse_arguments(ARG "" "" "EXCLUDE" ${ARGN})
    file(GLOB children RELATIVE ${dir} CONFIGURE_DEPENDS ${dir}/*/CMakeLists.txt)
    list(SORT children)
    foreach(child ${children})
        get_filename_component(sub ${child} DIRECTORY)
        if(NOT sub IN_LIST ARG_EXCLUDE AND NOT sub STREQUAL "build")
            add_subdirectory(${dir}/${sub})
        endif()
    endforeach()
endfunction()

# Copies the binaries of the named targets beside TARGET's, where Windows finds them by bare
# name, and again whenever one of them is rebuilt (a POST_BUILD copy would run only when TARGET
# itself relinks, leaving an old library beside a new test).
#   quillon_copy_beside(TARGET DEPENDENCY...)
function(quillon_copy_beside target)
    set(stamp ${CMAKE_CURRENT_BINARY_DIR}/${target}.beside)
    set(files)
    foreach(dep ${ARGN})
        list(APPEND files $<TARGET_FILE:${dep}>)
    endforeach()
    add_custom_command(OUTPUT ${stamp}
        COMMAND ${CMAKE_COMMAND} -E copy_if_different ${files} $<TARGET_FILE_DIR:${target}>
        COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
        DEPENDS ${ARGN}
        VERBATIM)
    add_custom_target(${target}_beside DEPENDS ${stamp})
    add_dependencies(${target} ${target}_beside)
endfunction()
