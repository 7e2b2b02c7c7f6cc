list(APPEND VANTO_PORTABLE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/portable_events.cpp
  ${CMAKE_CURRENT_LIST_DIR}/portable_process_info.cpp)
list(APPEND VANTO_PORTABLE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/portable_notifications.cpp
  ${CMAKE_CURRENT_LIST_DIR}/portable_property_lists.cpp
  ${CMAKE_CURRENT_LIST_DIR}/portable_user_defaults.cpp)
