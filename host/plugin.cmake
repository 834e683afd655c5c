# The plug-in Fx.prm and the host-side library it shares with the settings
# dialog. Cross build only.

# Fx.prm, the stand-in PREMINFO.dll and every program that loads them go to
# one folder: Windows finds a DLL beside the program that needs it.
set(GLIMMER_PLUGIN_DIR ${CMAKE_BINARY_DIR}/plugin CACHE INTERNAL
    "Folder of Fx.prm, PREMINFO.dll and the programs that load them")

# The host's utility library is imported by ordinal only; dlltool turns the
# NONAME .def into the import library.
find_program(GLIMMER_DLLTOOL NAMES ${CMAKE_LIBRARY_ARCHITECTURE}-dlltool i686-w64-mingw32-dlltool REQUIRED)
set(preminfo_import_library ${CMAKE_CURRENT_BINARY_DIR}/libpreminfo_imports.a)
add_custom_command(OUTPUT ${preminfo_import_library}
  COMMAND ${GLIMMER_DLLTOOL} --input-def ${CMAKE_CURRENT_SOURCE_DIR}/preminfo_imports.def
          --dllname PREMINFO.dll --output-lib ${preminfo_import_library}
  DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/preminfo_imports.def
  VERBATIM)
add_custom_target(glimmer_preminfo_import_library DEPENDS ${preminfo_import_library})
add_library(glimmer_preminfo_imports INTERFACE)
target_link_libraries(glimmer_preminfo_imports INTERFACE ${preminfo_import_library})
add_dependencies(glimmer_preminfo_imports glimmer_preminfo_import_library)

# Globals, frame setup's host side and the host calls: what the settings
# dialog and the preview need besides the engine.
add_library(glimmer_host_core STATIC
  host_globals.cpp
  settings_block.cpp
  global_scratch_memory.cpp
  host_frame_setup.cpp
  plugin_module.cpp
)
target_include_directories(glimmer_host_core PUBLIC ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/resources)
target_link_libraries(glimmer_host_core
  PUBLIC glimmer_engine glimmer_settings_file glimmer_preminfo_imports
  PRIVATE glimmer_warnings)

set(fx_sources
  x_effect.cpp
  render_selector.cpp
  setup_selector.cpp
  settings_dialog_launcher.cpp
  fx.def
  ${CMAKE_SOURCE_DIR}/resources/plugin.rc
)
if(NOT EXISTS ${CMAKE_SOURCE_DIR}/dialog/CMakeLists.txt)
  list(APPEND fx_sources minimal_settings_dialog.cpp ${CMAKE_SOURCE_DIR}/resources/minimal_dialog.rc)
endif()

# Fx.prm, and Fx-baseline.prm for the tests and the benchmark: the same
# plug-in held to the kernels every processor runs, as on a PC without
# AVX2. Its own chosenChunkKernels is linked ahead of the engine library,
# so the engine's choice is never pulled in.
foreach(plugin Fx Fx-baseline)
  add_library(${plugin} SHARED ${fx_sources})
  target_link_libraries(${plugin} PRIVATE glimmer_host_core glimmer_warnings)
  if(EXISTS ${CMAKE_SOURCE_DIR}/dialog/CMakeLists.txt)
    target_link_libraries(${plugin} PRIVATE glimmer_dialog)
  endif()
  set_target_properties(${plugin} PROPERTIES
    PREFIX ""
    OUTPUT_NAME ${plugin}
    SUFFIX .prm
    RUNTIME_OUTPUT_DIRECTORY ${GLIMMER_PLUGIN_DIR})
endforeach()
target_sources(Fx-baseline PRIVATE baseline_kernel_choice.cpp)
