# Runs PROGRAM in FOLDER, shows what it printed, values and diagnostics in the
# order it wrote them, and its exit status. Status 1 only says that a line was
# reported, as one in the example file is on purpose; anything else is a
# failure.
# One variable for both streams merges them in the order they were written.
execute_process(COMMAND ${PROGRAM} WORKING_DIRECTORY ${FOLDER}
                OUTPUT_VARIABLE output ERROR_VARIABLE output
                RESULT_VARIABLE status)
string(REGEX REPLACE "\n$" "" output "${output}")
message(NOTICE "${output}")
if(status STREQUAL "0")
  message(STATUS "tree_data exited with status 0")
elseif(status STREQUAL "1")
  message(STATUS "tree_data exited with status 1: a line was reported")
else()
  message(FATAL_ERROR "tree_data failed: ${status}")
endif()
