# Port discovery's plain units: the SDK root, the COM and Camera Link port names, the
# pair library's answers and their merge with the COM ports.
clser_logic_library(discovery
  SOURCES
    sdk_root_path.cpp
    com_port_names.cpp
    camera_link_port_names.cpp
    pair_library.cpp
    virtual_pair_merge.cpp
  USES common)
