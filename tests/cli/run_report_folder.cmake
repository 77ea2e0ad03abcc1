cmake_minimum_required(VERSION 3.25)
# report --all into a folder: the same bytes on any number of threads, and a
# folder whose files are replaced all together or not at all.
#   cmake -DCLI=... -DWORK=folder -P run_report_folder.cmake
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})

function(run_report status folder)
  execute_process(COMMAND ${CLI} report --sample --all --output ${WORK}/${folder} ${ARGN}
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc STREQUAL status)
    message(FATAL_ERROR "report ${ARGN}: exit ${rc} (expected ${status})\n${err}")
  endif()
  set(err "${err}" PARENT_SCOPE)
endfunction()

# Hidden files are temporaries: none may stay.
function(expect_no_leftovers folder)
  file(GLOB hidden ${WORK}/${folder}/.*)
  if(hidden)
    message(FATAL_ERROR "leftovers in ${folder}: ${hidden}")
  endif()
endfunction()

foreach(format png svg)
  foreach(threads 1 3)
    run_report(0 ${format}-${threads} --format ${format} --threads ${threads})
  endforeach()
  file(GLOB names RELATIVE ${WORK}/${format}-1 ${WORK}/${format}-1/*)
  list(LENGTH names count)
  if(NOT count EQUAL 35)
    message(FATAL_ERROR "${count} ${format} files, expected 35")
  endif()
  foreach(name IN LISTS names)
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${WORK}/${format}-1/${name}
                            ${WORK}/${format}-3/${name} RESULT_VARIABLE differs)
    if(differs)
      message(FATAL_ERROR "${format}/${name}: three threads differ from one")
    endif()
  endforeach()
endforeach()

# A later student's file cannot be staged (a folder holds its name): no file
# of the folder changes, and the error names that file once.
file(GLOB before ${WORK}/svg-1/*)
foreach(file IN LISTS before)
  file(READ ${file} bytes)
  set(old_${file} "${bytes}")
endforeach()
file(REMOVE ${WORK}/svg-1/90702030.svg)
file(MAKE_DIRECTORY ${WORK}/svg-1/90702030.svg)
run_report(2 svg-1 --format svg --method path-search)
if(NOT err MATCHES "90702030.svg」：無法寫入" OR NOT err MATCHES "都沒有更動")
  message(FATAL_ERROR "unexpected refusal: ${err}")
endif()
foreach(file IN LISTS before)
  if(NOT file MATCHES "90702030")
    file(READ ${file} bytes)
    if(NOT bytes STREQUAL old_${file})
      message(FATAL_ERROR "${file} was replaced although the set failed")
    endif()
  endif()
endforeach()
expect_no_leftovers(svg-1)

# A --format that is a path is refused once, not once per student.
run_report(2 bad --format a/b.png)
string(REGEX MATCHALL "錯誤" errors "${err}")
list(LENGTH errors count)
if(NOT count EQUAL 1 OR NOT err MATCHES "--format 須為 png、svg 或 pdf")
  message(FATAL_ERROR "--format a/b.png: ${err}")
endif()
