# tw_layer(<library> DEPS <libs...> PARTS <fragments...>)
# A folder's static library whose source lists live in the named .cmake fragments beside the
# folder's CMakeLists.txt (one fragment per piece of the folder, each with explicit
# target_sources). A fragment not written yet is skipped.
function(tw_layer name)
  cmake_parse_arguments(ARG "" "" "DEPS;PARTS" ${ARGN})
  add_library(${name} STATIC ${PROJECT_SOURCE_DIR}/cmake/empty.cpp)
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  if(ARG_DEPS)
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  endif()
  set(TW_TARGET ${name})
  foreach(part ${ARG_PARTS})
    include(${CMAKE_CURRENT_SOURCE_DIR}/${part}.cmake OPTIONAL)
  endforeach()
endfunction()

# tw_test_parts(<fragments...>): test fragments of a tests/ folder; each defines its own
# test executable and discovers its tests.
macro(tw_test_parts)
  foreach(part ${ARGN})
    include(${CMAKE_CURRENT_SOURCE_DIR}/${part}.cmake OPTIONAL)
  endforeach()
endmacro()
