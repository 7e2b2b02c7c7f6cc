# The macOS adapters, built only on Apple systems (elsewhere every file is
# compile-checked by tools/macos-check).
list(APPEND VANTO_MACOS_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/mac_events.mm
  ${CMAKE_CURRENT_LIST_DIR}/mac_process.mm
  ${CMAKE_CURRENT_LIST_DIR}/mac_platform.mm)
list(APPEND VANTO_MACOS_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/mac_bundle.mm
  ${CMAKE_CURRENT_LIST_DIR}/mac_defaults.mm
  ${CMAKE_CURRENT_LIST_DIR}/mac_input_sources.mm
  ${CMAKE_CURRENT_LIST_DIR}/mac_notifications.mm
  ${CMAKE_CURRENT_LIST_DIR}/mac_processes.mm
  ${CMAKE_CURRENT_LIST_DIR}/mac_property_lists.mm)
list(APPEND VANTO_MACOS_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/mac_accessibility.mm
  ${CMAKE_CURRENT_LIST_DIR}/mac_alerts.mm
  ${CMAKE_CURRENT_LIST_DIR}/mac_browser_scripting.mm
  ${CMAKE_CURRENT_LIST_DIR}/mac_status_bar.mm
  ${CMAKE_CURRENT_LIST_DIR}/mac_workspace.mm)
list(APPEND VANTO_MACOS_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/mac_app_picker.mm
  ${CMAKE_CURRENT_LIST_DIR}/mac_helper_app.mm
  ${CMAKE_CURRENT_LIST_DIR}/mac_settings_window.mm)
