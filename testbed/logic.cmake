# The stand-ins' plain units: the simulated camera's configuration and the setupc
# emulator's configuration, pair table and command line.
clser_logic_library(testbed
  SOURCES
    clserbvk/sim_config.cpp
    setupc/emulator_config.cpp
    setupc/pair_table.cpp
    setupc/setupc_command_line.cpp
  DIRS clserbvk setupc)
