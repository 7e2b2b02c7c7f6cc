# Configures the whole project as the Mac build does (an Apple target, the
# macOS preset's settings) and checks what it would build: the Objective-C++
# adapters under ARC, the application bundle signed after its layout is in
# place, the frameworks linked. Only CMake's logic is exercised; nothing is
# compiled, since no macOS SDK is at hand.
#
#   cmake -DSOURCE=<repo> -DBINARY=<scratch folder> -DCLANG=<clang++> -P configure_for_mac.cmake
file(REMOVE_RECURSE "${BINARY}")
execute_process(
  COMMAND ${CMAKE_COMMAND} -S "${SOURCE}" -B "${BINARY}" -G Ninja
          -DCMAKE_SYSTEM_NAME=Darwin
          -DCMAKE_CXX_COMPILER=${CLANG} -DCMAKE_OBJCXX_COMPILER=${CLANG}
          -DCMAKE_CXX_COMPILER_WORKS=ON -DCMAKE_OBJCXX_COMPILER_WORKS=ON
          -DCMAKE_INSTALL_NAME_TOOL=${CMAKE_COMMAND}
          -DCMAKE_BUILD_TYPE=Release -DCMAKE_OSX_DEPLOYMENT_TARGET=12.0
          -DVANTO_TESTS=OFF -DVANTO_BENCH=OFF
  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "The Mac build does not configure:\n${output}")
endif()
file(READ "${BINARY}/build.ninja" rules)
foreach(wanted
    "mac_events.mm.o: OBJCXX_COMPILER"
    "-fobjc-arc"
    "-framework AppKit"
    "-framework Carbon"
    "-framework IOKit"
    "Vanto.app/Contents/Resources/Vanto.bundle/Contents/Info.plist && codesign --force --sign -")
  string(FIND "${rules}" "${wanted}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "The Mac build lacks: ${wanted}")
  endif()
endforeach()
if(NOT EXISTS "${BINARY}/app/Info.plist" OR NOT EXISTS "${BINARY}/app/layout/Info.plist")
  message(FATAL_ERROR "The Mac build makes no Info.plist")
endif()
message(STATUS "The Mac build configures")
file(REMOVE_RECURSE "${BINARY}")
