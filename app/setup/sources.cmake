list(APPEND VANTO_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/key_feed.cpp
  ${CMAKE_CURRENT_LIST_DIR}/self_test.cpp)
list(APPEND VANTO_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/agent_loader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/command_line.cpp
  ${CMAKE_CURRENT_LIST_DIR}/helper_launcher.cpp
  ${CMAKE_CURRENT_LIST_DIR}/installer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/roles.cpp)
