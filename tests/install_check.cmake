# Installs the build in BUILD_DIR under PREFIX and checks that the program and
# its manual page arrive where users look for them.
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
                RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${status}")
endif()
foreach(file bin/tree_data share/man/man1/tree_data.1)
  if(NOT EXISTS ${PREFIX}/${file})
    message(FATAL_ERROR "cmake --install left out ${file}")
  endif()
endforeach()
