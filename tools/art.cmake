# Editor artwork tools, included from tools/CMakeLists.txt.
#
# brimstack3-screenshot: renders the whole editor offscreen to a PNG for a given state.
# brimstack3-art (custom target, not part of ALL): regenerates src/resources/images with
# tools/art/generate_art.py. The generated PNGs are committed, so a normal build needs no Python.

add_executable(brimstack3-screenshot EditorScreenshot.cpp)
target_link_libraries(brimstack3-screenshot PRIVATE brimstack3_core)
brimstack3_warnings(brimstack3-screenshot)

find_program(BRIMSTACK3_SYSTEM_PYTHON NAMES python3 PATHS /usr/bin NO_DEFAULT_PATH)
if(BRIMSTACK3_SYSTEM_PYTHON)
    add_custom_target(brimstack3-art
        COMMAND "${BRIMSTACK3_SYSTEM_PYTHON}" "${CMAKE_CURRENT_SOURCE_DIR}/art/generate_art.py"
                --out "${PROJECT_SOURCE_DIR}/src/resources/images"
        WORKING_DIRECTORY "${PROJECT_SOURCE_DIR}"
        COMMENT "Rendering the editor artwork into src/resources/images"
        VERBATIM)
endif()
