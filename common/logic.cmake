# The pieces of common/ that plain code uses: digit and letter-case helpers,
# line rates and line settings, configuration value texts, the names of makers' serial
# libraries.
clser_logic_library(common
  SOURCES line_settings.cpp cl_serial_library_names.cpp)
