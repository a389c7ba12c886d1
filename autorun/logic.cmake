# The launcher's texts beside the profile's: the bridge end it looks for.
clser_logic_library(autorun
  SOURCES launcher_config_texts.cpp
  USES common profile)
