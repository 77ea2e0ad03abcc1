# compare on two generated occasions of the same students and on the sample
# class split by score: the outputs against their goldens, --output - the same
# bytes as the file, and classes of other concepts refused with nothing written.
#   CLI     the program
#   WORK    a scratch folder
#   GOLDEN  the folder of the goldens; QV_UPDATE_GOLDEN=1 rewrites them
include("${CMAKE_CURRENT_LIST_DIR}/golden.cmake")
file(REMOVE_RECURSE "${WORK}")
foreach(class "pre;1;6" "post;2;6" "other;3;5")
  list(GET class 0 name)
  list(GET class 1 seed)
  list(GET class 2 concepts)
  execute_process(COMMAND "${CLI}" generate --students 30 --concepts ${concepts} --items 12
                          --seed ${seed} --output-dir "${WORK}/${name}"
                  OUTPUT_QUIET RESULT_VARIABLE status)
  if(NOT status STREQUAL "0")
    message(FATAL_ERROR "generate ${name}: exit status ${status}")
  endif()
endforeach()

function(run expected)
  execute_process(COMMAND "${CLI}" compare ${ARGN} RESULT_VARIABLE status
                  OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status STREQUAL "${expected}")
    message(FATAL_ERROR "compare ${ARGN}: exit status ${status}, expected ${expected}\n${err}")
  endif()
  set(out "${out}" PARENT_SCOPE)
  set(err "${err}" PARENT_SCOPE)
endfunction()

foreach(case
    "compare-paired.json;--class;${WORK}/pre;--with;${WORK}/post;--paired;--method;pfnet;--permutations;2000"
    "compare-split.csv;--sample;--split;score:27;--method;pfnet;--q;3;--seed;7")
  list(POP_FRONT case golden)
  run(0 ${case} --output "${WORK}/${golden}")
  get_filename_component(format "${golden}" LAST_EXT)
  string(SUBSTRING "${format}" 1 -1 format)
  run(0 ${case} --output - --format ${format})
  file(READ "${WORK}/${golden}" file_bytes)
  if(NOT out STREQUAL file_bytes)
    message(FATAL_ERROR "--output - differs from the file for ${golden}")
  endif()
  check_golden("${WORK}/${golden}" "${GOLDEN}/${golden}")
endforeach()

run(2 --class "${WORK}/pre" --with "${WORK}/other" --output "${WORK}/refused.json")
if(NOT err MATCHES "^錯誤：兩個班級的概念不同" OR EXISTS "${WORK}/refused.json")
  message(FATAL_ERROR "classes of other concepts were not refused: ${err}")
endif()
