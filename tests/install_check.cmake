# Installs the build in BUILD_DIR under PREFIX and checks that each of FILES
# (comma-separated, relative to PREFIX) arrives where users look for it.
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
                RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${status}")
endif()
string(REPLACE "," ";" FILES "${FILES}")
foreach(file IN LISTS FILES)
  if(NOT EXISTS ${PREFIX}/${file})
    message(FATAL_ERROR "cmake --install left out ${file}")
  endif()
endforeach()
