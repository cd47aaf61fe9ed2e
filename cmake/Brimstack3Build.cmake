# Compiler launcher, warnings and the sanitizer variant, shared by every target of the project.

find_program(BRIMSTACK3_CCACHE ccache)
if(BRIMSTACK3_CCACHE)
    # Paths relative to the source tree, so that several build folders share cached objects.
    # NOHASHDIR: debug-info builds (the sanitizer variant) would otherwise hash the build folder.
    set(_launcher "${CMAKE_COMMAND}" -E env "CCACHE_BASEDIR=${PROJECT_SOURCE_DIR}" CCACHE_NOHASHDIR=1 "${BRIMSTACK3_CCACHE}")
    set(CMAKE_C_COMPILER_LAUNCHER ${_launcher})
    set(CMAKE_CXX_COMPILER_LAUNCHER ${_launcher})
endif()

if(BRIMSTACK3_SANITIZE)
    # Everything, JUCE included, so that containers and streams are instrumented on both sides.
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()

# Warnings for our own code only (JUCE's modules compile with their own settings).
function(brimstack3_warnings target)
    target_compile_options(${target} PRIVATE
        $<$<COMPILE_LANGUAGE:CXX>:-Wall -Wextra -Wshadow=local -Wno-missing-field-initializers>)
endfunction()
