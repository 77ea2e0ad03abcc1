# Runs the command line, expects exit status 0 and compares its standard
# output with a golden file byte for byte.
#   CLI     the program
#   ARGS    its arguments, separated by |
#   OUT     where its standard output goes
#   GOLDEN  the expected output; QV_UPDATE_GOLDEN=1 in the environment rewrites it
include("${CMAKE_CURRENT_LIST_DIR}/golden.cmake")
string(REPLACE "|" ";" args "${ARGS}")
get_filename_component(out_dir "${OUT}" DIRECTORY)
file(MAKE_DIRECTORY "${out_dir}")
execute_process(COMMAND "${CLI}" ${args}
                OUTPUT_FILE "${OUT}" ERROR_VARIABLE err RESULT_VARIABLE status)
if(NOT status STREQUAL "0")
  message(FATAL_ERROR "exit status ${status}\n${err}")
endif()
check_golden("${OUT}" "${GOLDEN}")
