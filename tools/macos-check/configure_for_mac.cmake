# Configures the whole project as the Mac build does (an Apple target, the
# macOS preset's settings) and checks what it would build: the Objective-C++
# adapters under ARC, the application bundle signed after its layout is in
# place (ad hoc by default, with a warning, or with the identity given), the
# frameworks linked, utf8proc linked from its static archive so that the
# bundle depends on nothing outside the system, and the smoke test of the
# real adapters registered with the tests. Only CMake's logic is
# exercised; nothing is compiled, since no macOS SDK is at hand.
#
#   cmake -DSOURCE=<repo> -DBINARY=<scratch folder> -DCLANG=<clang++>
#         -DTEST_LIBRARIES=<folder of GoogleTest's libraries> -P configure_for_mac.cmake
function(configure_for_mac)
  file(REMOVE_RECURSE "${BINARY}")
  execute_process(
    COMMAND ${CMAKE_COMMAND} -S "${SOURCE}" -B "${BINARY}" -G Ninja
            -DCMAKE_SYSTEM_NAME=Darwin
            -DCMAKE_CXX_COMPILER=${CLANG} -DCMAKE_OBJCXX_COMPILER=${CLANG}
            -DCMAKE_CXX_COMPILER_WORKS=ON -DCMAKE_OBJCXX_COMPILER_WORKS=ON
            -DCMAKE_INSTALL_NAME_TOOL=${CMAKE_COMMAND}
            -DCMAKE_BUILD_TYPE=Release -DCMAKE_OSX_DEPLOYMENT_TARGET=12.0
            -DVANTO_TESTS=OFF -DVANTO_BENCH=OFF ${ARGN}
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "The Mac build does not configure:\n${output}")
  endif()
  file(READ "${BINARY}/build.ninja" rules)
  set(output "${output}" PARENT_SCOPE)
  set(rules "${rules}" PARENT_SCOPE)
endfunction()

function(expect text what)
  string(FIND "${text}" "${what}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "The Mac build lacks: ${what}")
  endif()
endfunction()

# The libraries the Vanto executable links, from its build statement.
function(vanto_link_line rules result)
  string(FIND "${rules}" "build app/Vanto.app/Contents/MacOS/Vanto:" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "The Mac build makes no Vanto.app executable")
  endif()
  string(SUBSTRING "${rules}" ${at} -1 rest)
  string(REGEX MATCH "LINK_LIBRARIES = [^\n]*" line "${rest}")
  set(${result} "${line}" PARENT_SCOPE)
endfunction()

configure_for_mac()
foreach(wanted
    "mac_events.mm.o: OBJCXX_COMPILER"
    "-fobjc-arc"
    "-framework AppKit"
    "-framework Carbon"
    "-framework IOKit"
    "-framework Security"
    "Vanto.app/Contents/Resources/Vanto.bundle/Contents/Info.plist && codesign --force --sign - ")
  expect("${rules}" "${wanted}")
endforeach()
expect("${output}" "Vanto.app is signed ad hoc")
vanto_link_line("${rules}" link)
expect("${link}" "libutf8proc.a")
if(link MATCHES "-lutf8proc|libutf8proc\\.(so|dylib)")
  message(FATAL_ERROR "The Mac build links utf8proc dynamically:\n${link}")
endif()
if(NOT EXISTS "${BINARY}/app/Info.plist" OR NOT EXISTS "${BINARY}/app/layout/Info.plist")
  message(FATAL_ERROR "The Mac build makes no Info.plist")
endif()

# A certificate of the user's own, named as Keychain Access shows it; with
# the tests, so that one configuration also shows the smoke test of the real
# adapters registered (a Mac's alone).
configure_for_mac("-DVANTO_CODESIGN_IDENTITY=Vanto Developer" -DVANTO_TESTS=ON
                  -DCMAKE_LIBRARY_PATH=${TEST_LIBRARIES})
expect("${rules}" "codesign --force --sign \"Vanto Developer\" --timestamp=none")
string(FIND "${output}" "signed ad hoc" at)
if(NOT at EQUAL -1)
  message(FATAL_ERROR "A build signed with a certificate still warns about ad-hoc signing")
endif()
file(READ "${BINARY}/app/CTestTestfile.cmake" tests)
expect("${tests}" "add_test([=[macos_smoke]=]")
expect("${rules}" "macos_smoke_test.cpp.o")

message(STATUS "The Mac build configures")
file(REMOVE_RECURSE "${BINARY}")
