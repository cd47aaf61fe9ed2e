# Preset tools, included from tools/CMakeLists.txt.
#
# brimstack3-preset-shots: renders the preset browser and the styled dialogs to PNG offscreen.
# brimstack3-factory-presets: writes the factory preset set (presets/ at the repository root)
# through the real processor and preset manager.

add_executable(brimstack3-preset-shots PresetBrowserShots.cpp)
target_link_libraries(brimstack3-preset-shots PRIVATE brimstack3_core)
target_compile_definitions(brimstack3-preset-shots PRIVATE BRIMSTACK3_SOURCE_PRESETS_DIR="${PROJECT_SOURCE_DIR}/presets")
brimstack3_warnings(brimstack3-preset-shots)

add_executable(brimstack3-factory-presets FactoryPresets.cpp)
target_link_libraries(brimstack3-factory-presets PRIVATE brimstack3_core)
target_compile_definitions(brimstack3-factory-presets PRIVATE BRIMSTACK3_SOURCE_PRESETS_DIR="${PROJECT_SOURCE_DIR}/presets")
brimstack3_warnings(brimstack3-factory-presets)

if(BRIMSTACK3_TESTS)
    # The browser and dialogs paint offscreen without failing; the committed factory presets are
    # what the generator writes for the current parameter layout.
    add_test(NAME presets.shots COMMAND brimstack3-preset-shots "${CMAKE_CURRENT_BINARY_DIR}/preset-shots" --scale 1)
    add_test(NAME presets.factory-set-up-to-date COMMAND brimstack3-factory-presets --check)
    set_tests_properties(presets.shots presets.factory-set-up-to-date PROPERTIES LABELS tools)
endif()
