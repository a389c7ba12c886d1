# clser_logic_library(<folder> [SOURCES <unit>...] [DIRS <subfolder>...] [USES <folder>...])
#
# Declares the plain units of a product folder (parsers, formatters, numbering: code that
# makes no Windows call) as the library clser_<folder>_logic. Each folder calls it once, in
# its logic.cmake, which both the Windows build and the native build (native/) include, so
# that the list lives in one place. Sources and DIRS are relative to the folder; the folder
# itself is always on the include path. USES names the folders whose plain units these use.
#
# The native build asks for more than one build of the same units: CLSER_LOGIC_FLAVOURS
# names extra flavours (clser_<folder>_logic_<flavour>), and a command
# clser_instrument_logic(<target> <flavour>), when defined, adds each build's flags (the
# default build passes the flavour "plain").
function(clser_logic_library folder)
  cmake_parse_arguments(L "" "" "SOURCES;DIRS;USES" ${ARGN})
  set(root "${CMAKE_CURRENT_LIST_DIR}")
  list(TRANSFORM L_SOURCES PREPEND "${root}/")
  set(dirs "${root}")
  foreach(dir IN LISTS L_DIRS)
    list(APPEND dirs "${root}/${dir}")
  endforeach()

  foreach(flavour plain ${CLSER_LOGIC_FLAVOURS})
    set(suffix "")
    if(NOT flavour STREQUAL "plain")
      set(suffix "_${flavour}")
    endif()
    set(name clser_${folder}_logic${suffix})
    if(L_SOURCES)
      add_library(${name} STATIC ${L_SOURCES})
      set(scope PUBLIC)
    else()
      # Headers only.
      add_library(${name} INTERFACE)
      set(scope INTERFACE)
    endif()
    target_include_directories(${name} ${scope} ${dirs})
    foreach(used IN LISTS L_USES)
      target_link_libraries(${name} ${scope} clser_${used}_logic${suffix})
    endforeach()
    if(L_SOURCES AND COMMAND clser_instrument_logic)
      cmake_language(CALL clser_instrument_logic ${name} ${flavour})
    endif()
  endforeach()
endfunction()
