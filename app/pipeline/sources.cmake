list(APPEND VANTO_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/event_tap.cpp
  ${CMAKE_CURRENT_LIST_DIR}/key_event.cpp
  ${CMAKE_CURRENT_LIST_DIR}/key_sender.cpp
  ${CMAKE_CURRENT_LIST_DIR}/screen.cpp
  ${CMAKE_CURRENT_LIST_DIR}/typist.cpp)
list(APPEND VANTO_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/app_profile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/english_priors.cpp)
