# The bridge program's decisions that need no window: command line, status texts,
# initial selection, the choices of its dialogs and the virtual port list.
clser_logic_library(app
  SOURCES
    command_line_info.cpp
    status_texts.cpp
    initial_selection.cpp
    port_setting_choices.cpp
    virtual_port_items.cpp
  USES common bridge network discovery)
