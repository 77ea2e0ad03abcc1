# analyze must write the same bytes on any number of threads: a generated
# class of several blocks, every format, one thread against three.
#   CLI   the program
#   WORK  a scratch folder
file(REMOVE_RECURSE "${WORK}")
execute_process(COMMAND "${CLI}" generate --students 2500 --concepts 12 --items 30 --seed 7
                        --output-dir "${WORK}" OUTPUT_QUIET RESULT_VARIABLE status)
if(NOT status STREQUAL "0")
  message(FATAL_ERROR "generate: exit status ${status}")
endif()
set(class --data "${WORK}/students.txt" --concepts "${WORK}/concepts.txt"
          --items "${WORK}/item-concepts.txt")
foreach(format table csv json)
  foreach(threads 1 3)
    execute_process(COMMAND "${CLI}" analyze ${class} --method path-search --format ${format}
                            --threads ${threads}
                    OUTPUT_FILE "${WORK}/${format}-${threads}" RESULT_VARIABLE status)
    if(NOT status STREQUAL "0")
      message(FATAL_ERROR "analyze --format ${format} --threads ${threads}: status ${status}")
    endif()
  endforeach()
  execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${WORK}/${format}-1"
                          "${WORK}/${format}-3" RESULT_VARIABLE differs)
  if(differs)
    message(FATAL_ERROR "--format ${format}: three threads differ from one")
  endif()
endforeach()
# The bootstrap: each replicate on its own worker, written in student order.
foreach(format csv json)
  foreach(threads 1 3)
    execute_process(COMMAND "${CLI}" analyze ${class} --method pfnet --format ${format}
                            --threads ${threads} --bootstrap 6 --seed 11
                    OUTPUT_FILE "${WORK}/boot-${format}-${threads}" RESULT_VARIABLE status)
    if(NOT status STREQUAL "0")
      message(FATAL_ERROR "analyze --bootstrap --format ${format}: status ${status}")
    endif()
  endforeach()
  execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${WORK}/boot-${format}-1"
                          "${WORK}/boot-${format}-3" RESULT_VARIABLE differs)
  if(differs)
    message(FATAL_ERROR "--bootstrap --format ${format}: three threads differ from one")
  endif()
endforeach()
