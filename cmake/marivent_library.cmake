# marivent_library(TARGET SOURCES...): the static library of the folder src/FOLDER this is called
# from, whose headers the code includes as "FOLDER/NAME.h".
#
# Each library has an include root of its own in the build folder, include/FOLDER, that holds
# FOLDER/NAME.h for each header src/FOLDER/NAME.h: one line that includes the real header. Only
# targets that link the library get that root (PUBLIC), so a target reaches "nmea/decoder.h" only
# through marivent_nmea, never through a folder that holds every layer. A library whose headers
# include another library's links it PUBLIC, one whose sources alone use it PRIVATE.
#
# The headers are listed again at each build (CONFIGURE_DEPENDS), so a new header is found
# without a manual cmake run, and the lines of removed headers are removed.
function(marivent_library target)
  get_filename_component(folder "${CMAKE_CURRENT_SOURCE_DIR}" NAME)
  add_library(${target} STATIC ${ARGN})
  set(root "${PROJECT_BINARY_DIR}/include/${folder}")
  file(GLOB headers CONFIGURE_DEPENDS RELATIVE "${CMAKE_CURRENT_SOURCE_DIR}"
       "${CMAKE_CURRENT_SOURCE_DIR}/*.h")
  file(GLOB written RELATIVE "${root}/${folder}" "${root}/${folder}/*.h")
  foreach(header IN LISTS written)
    if(NOT header IN_LIST headers)
      file(REMOVE "${root}/${folder}/${header}")
    endif()
  endforeach()
  foreach(header IN LISTS headers)
    # Written only when its text changes, so a new cmake run rebuilds nothing.
    file(CONFIGURE OUTPUT "${root}/${folder}/${header}" CONTENT
"// Written by cmake/marivent_library.cmake for the targets that link ${target}.
#include \"${CMAKE_CURRENT_SOURCE_DIR}/${header}\"
")
  endforeach()
  target_include_directories(${target} PUBLIC "${root}")
endfunction()
