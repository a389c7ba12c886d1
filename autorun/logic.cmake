# The launcher's texts: the names, line settings and command line it makes of a section.
clser_logic_library(autorun
  SOURCES launcher_config_texts.cpp
  USES common bridge)
