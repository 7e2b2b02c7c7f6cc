list(APPEND VANTO_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/exclusion.cpp
  ${CMAKE_CURRENT_LIST_DIR}/home_folder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/settings.cpp
  ${CMAKE_CURRENT_LIST_DIR}/unicode.cpp)
