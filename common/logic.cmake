# The header-only pieces of common/ that plain code uses: digit and letter-case helpers,
# line rates, configuration value texts.
clser_logic_library(common)
