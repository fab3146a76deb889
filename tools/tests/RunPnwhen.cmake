# Runs pnwhen with ARGS (and INPUT on its standard input) and compares what it
# prints with EXPECTED (or the file EXPECTED_FILE) and its exit code with
# EXPECTED_EXIT.
if(EXPECTED_FILE)
  file(READ ${EXPECTED_FILE} EXPECTED)
  string(REGEX REPLACE "\n$" "" EXPECTED "${EXPECTED}")
endif()
if(INPUT)
  execute_process(COMMAND ${PNWHEN} ${ARGS} INPUT_FILE ${INPUT} OUTPUT_VARIABLE out RESULT_VARIABLE code)
else()
  execute_process(COMMAND ${PNWHEN} ${ARGS} OUTPUT_VARIABLE out RESULT_VARIABLE code)
endif()
string(REGEX REPLACE "\n$" "" out "${out}")
if(NOT code STREQUAL EXPECTED_EXIT)
  message(FATAL_ERROR "pnwhen exited with ${code}, expected ${EXPECTED_EXIT}")
endif()
if(NOT out STREQUAL EXPECTED)
  message(FATAL_ERROR "pnwhen printed:\n${out}\nexpected:\n${EXPECTED}")
endif()
