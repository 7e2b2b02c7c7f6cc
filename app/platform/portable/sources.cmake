list(APPEND VANTO_PORTABLE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/portable_events.cpp
  ${CMAKE_CURRENT_LIST_DIR}/portable_process_info.cpp)
list(APPEND VANTO_PORTABLE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/portable_files.cpp
  ${CMAKE_CURRENT_LIST_DIR}/portable_notifications.cpp
  ${CMAKE_CURRENT_LIST_DIR}/portable_property_lists.cpp
  ${CMAKE_CURRENT_LIST_DIR}/portable_user_defaults.cpp)
list(APPEND VANTO_PORTABLE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/portable_bundle.cpp
  ${CMAKE_CURRENT_LIST_DIR}/portable_input_sources.cpp
  ${CMAKE_CURRENT_LIST_DIR}/portable_login_records.cpp
  ${CMAKE_CURRENT_LIST_DIR}/portable_processes.cpp)
list(APPEND VANTO_PORTABLE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/portable_alerts.cpp
  ${CMAKE_CURRENT_LIST_DIR}/portable_context.cpp
  ${CMAKE_CURRENT_LIST_DIR}/portable_main_loop.cpp
  ${CMAKE_CURRENT_LIST_DIR}/portable_workspace.cpp)
list(APPEND VANTO_PORTABLE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/portable_helper_app.cpp)
