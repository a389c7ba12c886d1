# The network endpoint's plain units: the RFC 2217 session, the line-rate choice, the
# network settings and their word, the Winsock error table, the choice a newcomer meets.
clser_logic_library(network
  SOURCES
    rfc2217_session.cpp
    baud_rate_choice.cpp
    network_settings.cpp
    winsock_error_status.cpp
    newcomer_decision.cpp
  USES common)
