# Outside libraries cross-built for the Windows trees from Debian's source packages by
# scripts/third-party/NAME.sh into build/<tree>/third-party/NAME (cached there by its key),
# each seen by targets as the interface library third_party::NAME.

# quillon_third_party(NAME LIBRARIES lib/libx.a... [RUNTIME x.dll...])
# LIBRARIES are relative to the prefix, in link order; RUNTIME names the DLLs in its bin/
# that a program using the library needs beside it (quillon_third_party_runtime).
function(quillon_third_party name)
    cmake_parse_arguments(ARG "" "" "LIBRARIES;RUNTIME" ${ARGN})
    set(prefix ${CMAKE_BINARY_DIR}/third-party/${name})
    set(scripts ${PROJECT_SOURCE_DIR}/scripts/third-party)
    list(TRANSFORM ARG_LIBRARIES PREPEND ${prefix}/ OUTPUT_VARIABLE libraries)
    list(TRANSFORM ARG_RUNTIME PREPEND ${prefix}/bin/ OUTPUT_VARIABLE runtime)
    # A job of the build graph, so that its configure step overlaps with compiling our code.
    add_custom_command(OUTPUT ${prefix}/.key
        BYPRODUCTS ${libraries} ${runtime}
        COMMAND ${scripts}/${name}.sh ${CMAKE_SYSTEM_PROCESSOR} ${prefix}
        DEPENDS ${scripts}/${name}.sh ${scripts}/common.sh
        COMMENT "third-party: ${name} (${CMAKE_SYSTEM_PROCESSOR})")
    add_custom_target(third_party_${name}_build ALL DEPENDS ${prefix}/.key)

    add_library(third_party_${name} INTERFACE)
    add_library(third_party::${name} ALIAS third_party_${name})
    file(MAKE_DIRECTORY ${prefix}/include)
    target_include_directories(third_party_${name} SYSTEM INTERFACE ${prefix}/include)
    target_link_libraries(third_party_${name} INTERFACE ${libraries})
    add_dependencies(third_party_${name} third_party_${name}_build)
    set_target_properties(third_party_${name} PROPERTIES QUILLON_RUNTIME "${runtime}")
endfunction()

# Copies the DLLs of the named third-party libraries beside TARGET's binary, where Windows
# finds them by bare name.
#   quillon_third_party_runtime(TARGET NAME...)
function(quillon_third_party_runtime target)
    foreach(name ${ARGN})
        get_target_property(runtime third_party_${name} QUILLON_RUNTIME)
        if(runtime)
            add_custom_command(TARGET ${target} POST_BUILD
                COMMAND ${CMAKE_COMMAND} -E copy_if_different ${runtime} $<TARGET_FILE_DIR:${target}>)
        endif()
    endforeach()
endfunction()
