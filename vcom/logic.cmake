# The pair library's plain units: the pair list parser, the serial device names, the
# install numbering, its texts, the list file's location and the module's state.
clser_logic_library(vcom
  SOURCES
    pair_list_parser.cpp
    serial_device_names.cpp
    install_numbering.cpp
    text_format.cpp
    list_file_location.cpp
    vcom_module.cpp
  USES common)
