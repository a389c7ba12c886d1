# The bridge engine's plain units: the connection's settings, the error table, trace
# lines, the COM block write.
clser_logic_library(bridge
  SOURCES
    connection_settings.cpp
    windows_error_status.cpp
    trace_line.cpp
    com_block_write.cpp
  USES common network profile record)
