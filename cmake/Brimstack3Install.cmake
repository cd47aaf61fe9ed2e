# Where `cmake --install` puts the product: the per-user folders that Linux hosts scan.
#
#   VST3 bundle  -> <prefix>/.vst3/Brimstack3.vst3
#   LV2 bundle   -> <prefix>/.lv2/Brimstack3.lv2
#   standalone   -> <prefix>/.local/bin/Brimstack3
#   renderer     -> <prefix>/.local/bin/brimstack3-render
#   factory set  -> <prefix>/.local/share/brimstack3/presets (where brimstack3-render --install-presets
#                   finds it, next to its own bin/ folder)
#
# The prefix is the user's home unless one is given, at configure time (-DCMAKE_INSTALL_PREFIX=...)
# or at install time (cmake --install build --prefix /some/where). The folders below the prefix
# can be changed too, e.g. for a system-wide install:
#   -DBRIMSTACK3_INSTALL_VST3DIR=lib/vst3 -DBRIMSTACK3_INSTALL_LV2DIR=lib/lv2
#   -DBRIMSTACK3_INSTALL_BINDIR=bin -DBRIMSTACK3_INSTALL_DATADIR=share/brimstack3

if(CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT AND DEFINED ENV{HOME})
    set(CMAKE_INSTALL_PREFIX "$ENV{HOME}" CACHE PATH "Install prefix (default: your home folder)" FORCE)
endif()

set(BRIMSTACK3_INSTALL_VST3DIR ".vst3" CACHE STRING "VST3 folder below the install prefix")
set(BRIMSTACK3_INSTALL_LV2DIR ".lv2" CACHE STRING "LV2 folder below the install prefix")
set(BRIMSTACK3_INSTALL_BINDIR ".local/bin" CACHE STRING "Folder for the standalone and the tools below the install prefix")
set(BRIMSTACK3_INSTALL_DATADIR ".local/share/brimstack3" CACHE STRING "Folder for the factory presets below the install prefix")

if(TARGET Brimstack3_VST3)
    install(DIRECTORY "$<GENEX_EVAL:$<TARGET_PROPERTY:Brimstack3_VST3,JUCE_PLUGIN_ARTEFACT_FILE>>"
        DESTINATION "${BRIMSTACK3_INSTALL_VST3DIR}"
        USE_SOURCE_PERMISSIONS
        COMPONENT plugins)
endif()

if(TARGET Brimstack3_LV2)
    install(DIRECTORY "$<GENEX_EVAL:$<TARGET_PROPERTY:Brimstack3_LV2,JUCE_PLUGIN_ARTEFACT_FILE>>"
        DESTINATION "${BRIMSTACK3_INSTALL_LV2DIR}"
        USE_SOURCE_PERMISSIONS
        COMPONENT plugins)
endif()

foreach(_program Brimstack3_Standalone brimstack3-render)
    if(TARGET ${_program})
        install(TARGETS ${_program} RUNTIME DESTINATION "${BRIMSTACK3_INSTALL_BINDIR}" COMPONENT programs)
    endif()
endforeach()

# The factory presets are not copied into anyone's documents folder here: the user's own preset
# folder is theirs, and `brimstack3-render --install-presets` puts the set there on request.
if(EXISTS "${PROJECT_SOURCE_DIR}/presets")
    install(DIRECTORY "${PROJECT_SOURCE_DIR}/presets"
        DESTINATION "${BRIMSTACK3_INSTALL_DATADIR}"
        COMPONENT presets
        FILES_MATCHING PATTERN "*.rcp")
endif()
