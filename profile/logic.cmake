# One connection's profile and its codecs: section, command line, write-back.
clser_logic_library(profile
  SOURCES connection_profile.cpp network_keys.cpp record_keys.cpp
  USES common network record)
