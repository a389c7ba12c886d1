# clser_import_library(<target> <dll name> <def file>)
# Makes an import library from a .def file, so that a program imports a DLL by the
# name the real one has, whichever implementation lies beside it at run time.
function(clser_import_library target dll def)
  set(lib ${CMAKE_BINARY_DIR}/lib/lib${target}.a)
  add_custom_command(OUTPUT ${lib}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/lib
    COMMAND ${CMAKE_DLLTOOL} -d ${def} -D ${dll} -l ${lib} $<$<STREQUAL:${CMAKE_SYSTEM_PROCESSOR},i686>:-k>
    DEPENDS ${def}
    COMMENT "Import library for ${dll}")
  add_custom_target(${target}_implib DEPENDS ${lib})
  add_library(${target} INTERFACE)
  add_dependencies(${target} ${target}_implib)
  target_link_libraries(${target} INTERFACE ${lib})
endfunction()
