# Exports of a generated class read back against analyze's own outputs:
# the GraphML networks and the long CSV against the JSON, the workbook's
# 結果 sheet against the CSV; "-" for --output and --data against files.
#   cmake -DCLI=... -DCHECK=export_check -DWORK=dir -DMETHOD=triangle [-DFILES=dir] -P run_export.cmake
# FILES holds data.txt, concepts.txt and items.txt; without it a class is generated.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})

function(run)
  cmake_parse_arguments(R "" "INPUT;OUTPUT" "" ${ARGN})
  set(extra)
  if(R_INPUT)
    list(APPEND extra INPUT_FILE ${R_INPUT})
  endif()
  if(R_OUTPUT)
    list(APPEND extra OUTPUT_FILE ${R_OUTPUT})
  endif()
  execute_process(COMMAND ${R_UNPARSED_ARGUMENTS} ${extra} RESULT_VARIABLE rc ERROR_VARIABLE err
                  OUTPUT_QUIET)
  if(NOT rc STREQUAL "0")
    message(FATAL_ERROR "${R_UNPARSED_ARGUMENTS} exited with ${rc}\n${err}")
  endif()
endfunction()

if(FILES)
  file(MAKE_DIRECTORY ${WORK}/class)
  foreach(pair data:students concepts:concepts items:item-concepts)
    string(REPLACE ":" ";" pair ${pair})
    list(GET pair 0 from)
    list(GET pair 1 to)
    file(COPY_FILE ${FILES}/${from}.txt ${WORK}/class/${to}.txt)
  endforeach()
else()
  run(${CLI} generate --students 40 --concepts 9 --items 16 --seed 7 --output-dir ${WORK}/class)
endif()
set(class --class ${WORK}/class --method ${METHOD})
foreach(format json csv links)
  run(${CLI} analyze ${class} --format ${format} --output ${WORK}/results.${format})
endforeach()
run(${CLI} export ${class} --to graphml --output ${WORK}/graphml)
run(${CLI} export ${class} --to xlsx --output ${WORK}/results.xlsx)
run(${CHECK} graphml ${WORK}/graphml ${WORK}/results.json)
run(${CHECK} links ${WORK}/results.links ${WORK}/results.json)
run(${CHECK} xlsx ${WORK}/results.xlsx ${WORK}/results.csv)

# A pipe gives the bytes a file gets.
run(${CLI} analyze ${class} --format links --output - OUTPUT ${WORK}/piped.links)
run(${CLI} analyze --data - --concepts ${WORK}/class/concepts.txt
    --items ${WORK}/class/item-concepts.txt --method ${METHOD} --format csv
    INPUT ${WORK}/class/students.txt OUTPUT ${WORK}/piped.csv)
foreach(pair links:piped.links csv:piped.csv)
  string(REPLACE ":" ";" pair ${pair})
  list(GET pair 0 format)
  list(GET pair 1 piped)
  file(SHA256 ${WORK}/results.${format} want)
  file(SHA256 ${WORK}/${piped} got)
  if(NOT want STREQUAL got)
    message(FATAL_ERROR "${piped} differs from results.${format}")
  endif()
endforeach()
