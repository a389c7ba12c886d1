# The bridge program's decisions that need no window: status texts,
# initial selection, the choices of its dialogs and the virtual port list.
clser_logic_library(app
  SOURCES
    status_texts.cpp
    initial_selection.cpp
    port_setting_choices.cpp
    virtual_port_items.cpp
  USES common profile bridge network discovery)
