list(APPEND VANTO_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/browser_address.cpp
  ${CMAKE_CURRENT_LIST_DIR}/secure_input_watch.cpp
  ${CMAKE_CURRENT_LIST_DIR}/serial_queue.cpp
  ${CMAKE_CURRENT_LIST_DIR}/spotlight_watcher.cpp)
