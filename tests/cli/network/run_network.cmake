# Runs `quorvane-cli network` and checks its exit status, its output against
# a file and its error text against a fragment.
#   CLI            the program
#   ARGS           the arguments, separated by "|"
#   STATUS         the expected exit status
#   EXPECTED       (optional) file holding the exact standard output
#   ERROR_PART     (optional) text the standard error must contain
string(REPLACE "|" ";" args "${ARGS}")
execute_process(COMMAND "${CLI}" network ${args}
  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
if(NOT status STREQUAL STATUS)
  message(FATAL_ERROR "exit status ${status}, expected ${STATUS}\nstdout:\n${out}\nstderr:\n${err}")
endif()
if(DEFINED EXPECTED)
  file(READ "${EXPECTED}" expected)
  if(NOT out STREQUAL expected)
    message(FATAL_ERROR "output differs from ${EXPECTED}:\n${out}")
  endif()
endif()
if(DEFINED ERROR_PART)
  string(FIND "${err}" "${ERROR_PART}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "error text lacks \"${ERROR_PART}\":\n${err}")
  endif()
endif()
