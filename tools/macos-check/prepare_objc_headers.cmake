# Makes the Objective-C runtime headers of GCC usable by clang with the
# GNUstep 2.0 runtime, in a folder of the build tree: clang does not search
# GCC's own header folder, a line of runtime.h dereferences `id` (a built-in
# type under this runtime) and objc.h's YES and NO are casts, which breaks
# boxed literals such as @YES. Nothing of GCC's is kept in the sources.
#
#   cmake -DSOURCE=<gcc objc folder> -DDEST=<folder receiving objc/> -P prepare_objc_headers.cmake
file(GLOB headers "${SOURCE}/*.h")
if(NOT headers)
  message(FATAL_ERROR "no Objective-C runtime headers in ${SOURCE}")
endif()
file(MAKE_DIRECTORY "${DEST}/objc")
foreach(header IN LISTS headers)
  get_filename_component(name "${header}" NAME)
  file(READ "${header}" text)
  if(name STREQUAL "runtime.h")
    string(REPLACE "return object->class_pointer;"
                   "return ((struct objc_object *)(void *)object)->class_pointer;" text "${text}")
  elseif(name STREQUAL "objc.h")
    string(REGEX REPLACE "#define YES[ \t]+\\(BOOL\\)1" "#define YES __objc_yes" text "${text}")
    string(REGEX REPLACE "#define NO[ \t]+\\(BOOL\\)0" "#define NO __objc_no" text "${text}")
  endif()
  file(WRITE "${DEST}/objc/${name}" "${text}")
endforeach()
