# The bridge engine's plain units: line and connection settings, the error table, trace
# lines, the COM block write, the traffic record's settings and lines.
clser_logic_library(bridge
  SOURCES
    connection_settings.cpp
    windows_error_status.cpp
    trace_line.cpp
    com_block_write.cpp
    traffic_record_settings.cpp
    traffic_record_line.cpp
  USES common network)
