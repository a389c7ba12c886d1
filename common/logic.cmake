# The pieces of common/ that plain code uses: digit and letter-case helpers,
# line rates and line settings, configuration value texts.
clser_logic_library(common
  SOURCES line_settings.cpp)
