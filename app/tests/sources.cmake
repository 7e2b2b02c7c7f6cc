list(APPEND VANTO_APP_TEST_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/unicode_test.cpp)
list(APPEND VANTO_APP_TEST_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/typist_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/english_context_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tracked_field_test.cpp)
list(APPEND VANTO_APP_TEST_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/app_profile_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/exclusion_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/portable_platform_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/settings_test.cpp)
list(APPEND VANTO_APP_TEST_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/event_tap_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/key_sender_test.cpp)
list(APPEND VANTO_APP_TEST_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/agent_loader_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/command_line_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/helper_launcher_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/installer_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/portable_setup_test.cpp)
list(APPEND VANTO_APP_TEST_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/agent_privacy_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/agent_upkeep_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/app_delegate_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/browser_address_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/dialogs_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/portable_shell_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/settings_window_model_test.cpp)
