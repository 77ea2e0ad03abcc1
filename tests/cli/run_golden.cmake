# Runs the command line, expects exit status 0 and compares its standard
# output with a golden file byte for byte.
#   CLI     the program
#   ARGS    its arguments, separated by |
#   OUT     where its standard output goes
#   GOLDEN  the expected output; QV_UPDATE_GOLDEN=1 in the environment rewrites it
string(REPLACE "|" ";" args "${ARGS}")
get_filename_component(out_dir "${OUT}" DIRECTORY)
file(MAKE_DIRECTORY "${out_dir}")
execute_process(COMMAND "${CLI}" ${args}
                OUTPUT_FILE "${OUT}" ERROR_VARIABLE err RESULT_VARIABLE status)
if(NOT status STREQUAL "0")
  message(FATAL_ERROR "exit status ${status}\n${err}")
endif()
if("$ENV{QV_UPDATE_GOLDEN}" STREQUAL "1")
  get_filename_component(golden_dir "${GOLDEN}" DIRECTORY)
  file(MAKE_DIRECTORY "${golden_dir}")
  file(COPY_FILE "${OUT}" "${GOLDEN}")
  message(STATUS "rewrote ${GOLDEN}")
  return()
endif()
execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${OUT}" "${GOLDEN}"
                RESULT_VARIABLE differs)
if(differs)
  execute_process(COMMAND diff -u "${GOLDEN}" "${OUT}")
  message(FATAL_ERROR "output differs from ${GOLDEN}")
endif()
