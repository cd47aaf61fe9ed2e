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
