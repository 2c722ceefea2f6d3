# Runs PROGRAM in FOLDER and shows its exit status. Status 1 only says that a
# row was skipped, which the example file does on purpose; anything higher is
# a failure.
execute_process(COMMAND ${PROGRAM} WORKING_DIRECTORY ${FOLDER}
                RESULT_VARIABLE status)
message(STATUS "tree_data exited with status ${status}")
if(NOT status MATCHES "^[01]$")
  message(FATAL_ERROR "tree_data failed")
endif()
