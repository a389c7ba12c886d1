# The traffic record's plain units: its settings (the section keys and the command-line
# word) and the lines of its file.
clser_logic_library(record
  SOURCES
    traffic_record_settings.cpp
    traffic_record_line.cpp
  USES common)
