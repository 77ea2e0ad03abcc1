cmake_minimum_required(VERSION 3.25)
# Checks that the command line never leaves a half-written or destroyed file:
#   cmake -DCLI=... -DTD=testdata -DWORK=folder -P run_safety.cmake
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
set(class --data ${WORK}/data.txt --concepts ${WORK}/concepts.txt --items ${WORK}/items.txt)
file(COPY ${TD}/data_quote.txt ${TD}/concepts.txt ${TD}/items.txt DESTINATION ${WORK})
file(RENAME ${WORK}/data_quote.txt ${WORK}/data.txt)
file(MAKE_DIRECTORY ${WORK}/dir)

function(expect_run status err)
  execute_process(COMMAND ${CLI} ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE e
                  WORKING_DIRECTORY ${WORK})
  if(NOT rc STREQUAL status OR NOT e MATCHES "${err}")
    message(FATAL_ERROR "${ARGN}\nexit ${rc} (expected ${status})\nstderr: ${e}")
  endif()
endfunction()

# An output that is one of the three inputs, however spelled, is refused by
# every command that writes, and the class stays.
foreach(input data.txt concepts.txt items.txt)
  file(READ ${WORK}/${input} before)
  foreach(spelling ${WORK}/../safety/${input} ./dir/../${input})
    expect_run(2 "就是輸入檔" analyze ${class} --format csv --output ${spelling})
    expect_run(2 "就是輸入檔" summary ${class} --output ${spelling})
    expect_run(2 "就是輸入檔" report ${class} --id x --output ${spelling})
  endforeach()
  file(READ ${WORK}/${input} after)
  if(NOT after STREQUAL before)
    message(FATAL_ERROR "${input} was overwritten")
  endif()
endforeach()

# A full disk: an error with its reason, never success.
expect_run(2 "磁碟空間不足" analyze ${class} --format json --output /dev/full)
execute_process(COMMAND ${CLI} network --method dc OUTPUT_FILE /dev/full RESULT_VARIABLE rc
                ERROR_VARIABLE e)
if(NOT rc STREQUAL 2 OR NOT e MATCHES "標準輸出")
  message(FATAL_ERROR "a failed write to standard output passed: ${rc} ${e}")
endif()

# Inputs that are not regular files.
expect_run(2 "學生資料檔「/dev/zero」：這不是一般的檔案" check --data /dev/zero)

# Report files stay visible and within name limits; one per record.
expect_run(0 "" report ${class} --all --output ${WORK}/reports --format svg)
file(GLOB names RELATIVE ${WORK}/reports ${WORK}/reports/*)
list(LENGTH names count)
if(NOT count EQUAL 3 OR NOT "_.hidden.svg" IN_LIST names)
  message(FATAL_ERROR "report files: ${names}")
endif()
foreach(name IN LISTS names)
  string(LENGTH "${name}" bytes)
  if(bytes GREATER 255)
    message(FATAL_ERROR "file name of ${bytes} bytes: ${name}")
  endif()
endforeach()

# A repeated ID gives ID.png, then ID_2.png, and never one file over another.
file(WRITE ${WORK}/repeated.txt
     "8\r\n9\r\nABCDA\r\nA1 ABCDA\n\r\nB2 ABCDD\n\r\nA1 DCBAA\n\r\n\r\n")
expect_run(0 "" report --data ${WORK}/repeated.txt --concepts ${WORK}/concepts.txt
           --items ${WORK}/items.txt --all --output ${WORK}/repeated)
file(GLOB names RELATIVE ${WORK}/repeated ${WORK}/repeated/*)
list(SORT names)
if(NOT names STREQUAL "A1.png;A1_2.png;B2.png")
  message(FATAL_ERROR "report files for a repeated ID: ${names}")
endif()

# generate over an older class replaces all three files.
expect_run(0 "" generate --students 3 --output-dir ${WORK}/gen)
file(READ ${WORK}/gen/students.txt first)
expect_run(0 "" generate --students 9 --seed 2 --output-dir ${WORK}/gen)
file(READ ${WORK}/gen/students.txt second)
file(GLOB leftovers ${WORK}/gen/.*)
if(first STREQUAL second OR leftovers)
  message(FATAL_ERROR "generate did not replace the class cleanly: ${leftovers}")
endif()

# A summary that cannot reach standard output is a failure, not success.
foreach(command "generate;--students;3;--output-dir;${WORK}/gen"
                "report;${class};--all;--output;${WORK}/full;--format;svg")
  execute_process(COMMAND ${CLI} ${command} OUTPUT_FILE /dev/full RESULT_VARIABLE rc
                  ERROR_VARIABLE e)
  if(NOT rc STREQUAL 2 OR NOT e MATCHES "無法寫入標準輸出")
    message(FATAL_ERROR "${command} > /dev/full: exit ${rc}, ${e}")
  endif()
endforeach()

# The longest name a file system takes is written, and written over.
string(REPEAT "n" 250 long)
foreach(run 1 2)
  expect_run(0 "" analyze ${class} --format csv --output ${WORK}/${long}.csv)
endforeach()
file(GLOB leftovers ${WORK}/.n*)
if(NOT EXISTS ${WORK}/${long}.csv OR leftovers)
  message(FATAL_ERROR "a 254-byte name was not written cleanly: ${leftovers}")
endif()

# An empty value is refused, not taken as no value.
foreach(option "--q" "--unlinked")
  execute_process(COMMAND ${CLI} network --method pfnet ${option} "" RESULT_VARIABLE rc
                  OUTPUT_QUIET ERROR_VARIABLE e)
  if(NOT rc STREQUAL 2 OR NOT e MATCHES "^錯誤：${option}：不能是空白")
    message(FATAL_ERROR "${option} '': exit ${rc}, ${e}")
  endif()
endforeach()

# A link that points at itself, as input and as output: named, in the user's language.
file(CREATE_LINK loop.txt ${WORK}/loop.txt SYMBOLIC)
expect_run(2 "學生資料檔「[^」]*loop.txt」：無法讀取：符號連結形成迴圈" check --data ${WORK}/loop.txt)
expect_run(2 "「[^」]*loop.txt」：無法寫入：符號連結形成迴圈"
           analyze ${class} --output ${WORK}/loop.txt)

# A matrix PFNET refuses names the file, the line and the field of both cells.
file(WRITE ${WORK}/asymmetric.txt "3\n0 1 2\n\n1 0 3\n2 4 0\n")
expect_run(2 "^錯誤：矩陣檔「[^」]*asymmetric.txt」：距離矩陣不對稱：第 4 行第 3 欄是 3，第 5 行第 2 欄卻是 4"
           network --matrix ${WORK}/asymmetric.txt --method pfnet)

# Without --format the output's extension picks the text format; a --format
# it contradicts is refused before anything is written.
expect_run(0 "" summary --sample --output ${WORK}/s.csv)
expect_run(0 "" analyze --sample --output ${WORK}/a.JSON)
file(READ ${WORK}/s.csv s)
file(READ ${WORK}/a.JSON a)
if(NOT s MATCHES "^[^{]*Concept 1,Concept 2," OR NOT a MATCHES "^{")
  message(FATAL_ERROR "the extension did not pick the format:\n${s}\n${a}")
endif()
foreach(run "json|c.csv|summary" "table|c.json|analyze" "png|c.svg|report|--id|90702001")
  string(REPLACE "|" ";" run "${run}")
  list(POP_FRONT run format out)
  expect_run(2 "「${out}」的副檔名.*與 --format ${format} 不符" ${run} --sample --format ${format}
             --output ${out})
  if(EXISTS ${WORK}/${out})
    message(FATAL_ERROR "${command} wrote ${out} against its --format")
  endif()
endforeach()
