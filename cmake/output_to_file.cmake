# Runs a program and keeps its standard output in a file, failing on a non-zero status:
#   cmake -DPROGRAM=... -DARG=... -DOUTPUT=... -P output_to_file.cmake
execute_process(COMMAND ${PROGRAM} ${ARG} OUTPUT_FILE ${OUTPUT}.part RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  file(REMOVE ${OUTPUT}.part)
  message(FATAL_ERROR "${PROGRAM} ${ARG} failed: ${rc}")
endif()
file(RENAME ${OUTPUT}.part ${OUTPUT})
