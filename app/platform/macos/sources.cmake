# The macOS adapters, built only on Apple systems (elsewhere every file is
# compile-checked by tools/macos-check).
file(GLOB VANTO_MACOS_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*.mm)
