# quorvane-cli import on sheets with one fault each: exit 2, the cell named,
# and no class file in the output folder; then a good pair that writes all three.
#   cmake -DCLI=... -DWORK=dir -P run_import.cmake
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
set(good_q "題目,c1,c2\n1,1,\n2,x,1\n3,,✓\n")
file(WRITE "${WORK}/q.csv" "${good_q}")

# name | answer sheet | Q-matrix sheet | stderr regex
set(cases
  "long_answer|id,q1,q2,q3\nkey,A,B,C\nS1,A,B,C\nS2,A,AB,C\n|${good_q}|「answers.csv」C4：答案必須是一個字元，讀到「AB」"
  "duplicate_id|id,q1,q2,q3\n答案,A,B,C\nS1,A,B,C\n\nS1,A,B,C\n|${good_q}|A5：學號「S1」重複：A3"
  "empty_id|id,q1,q2,q3\n答案,A,B,C\n,A,B,C\n|${good_q}|A3：學號是空的"
  "blank_in_id|id,q1,q2,q3\nS 1,A,B,C\n答案,A,B,C\n|${good_q}|A2：學號不可以含有空白"
  "item_count|id,q1,q2,q3\n答案,A,B,C\nS1,A,B,C\n|題目,c1\n1,1\n2,1\n|Q 矩陣有 2 題，答案表的題目欄卻有 3 題"
  "qmatrix_cell|id,q1,q2,q3\n答案,A,B,C\nS1,A,B,C\n|題目,c1,c2\n1,1,\n2,2,1\n3,,1\n|「q.csv」B3：Q 矩陣的格子只能是"
  "no_key|id,q1,q2,q3\nS1,A,B,C\n|${good_q}|找不到標準答案"
  "empty_key|id,q1,q2,q3\nKEY,A,,C\nS1,A,B,C\n|${good_q}|C2：標準答案是空的"
)
foreach(case IN LISTS cases)
  string(REPLACE "|" ";" parts "${case}")
  list(GET parts 0 name)
  list(GET parts 1 answers)
  list(GET parts 2 qmatrix)
  list(GET parts 3 expected)
  set(dir "${WORK}/${name}")
  file(MAKE_DIRECTORY "${dir}/in")
  string(REPLACE "\\n" "\n" answers "${answers}")
  string(REPLACE "\\n" "\n" qmatrix "${qmatrix}")
  file(WRITE "${dir}/in/answers.csv" "${answers}")
  file(WRITE "${dir}/in/q.csv" "${qmatrix}")
  execute_process(COMMAND ${CLI} import --answers "${dir}/in/answers.csv" --qmatrix "${dir}/in/q.csv"
                          --output-dir "${dir}/out"
                  RESULT_VARIABLE rc ERROR_VARIABLE err OUTPUT_VARIABLE out)
  if(NOT rc EQUAL 2 OR NOT err MATCHES "^錯誤：.*${expected}")
    message(FATAL_ERROR "${name}: exit ${rc}, stderr:\n${err}\nexpected: ${expected}")
  endif()
  foreach(f students.txt concepts.txt item-concepts.txt)
    if(EXISTS "${dir}/out/${f}")
      message(FATAL_ERROR "${name}: a refusal wrote ${f}")
    endif()
  endforeach()
endforeach()

file(WRITE "${WORK}/a.csv" "id,q1,q2,q3\n答案,A,B,C\nS1,A,,C\n")
execute_process(COMMAND ${CLI} import --answers "${WORK}/a.csv" --qmatrix "${WORK}/q.csv"
                        --output-dir "${WORK}/class" RESULT_VARIABLE rc OUTPUT_VARIABLE out)
file(READ "${WORK}/class/students.txt" students HEX)
if(NOT rc EQUAL 0 OR NOT out MATCHES "已匯入 1 位學生、3 題、2 個概念"
   OR NOT students STREQUAL "380d0a390d0a4142430d0a5331204138430d0a")  # 8 9 ABC "S1 A8C", CR LF
  message(FATAL_ERROR "the good sheets: exit ${rc}\n${out}\nstudents.txt:\n${students}")
endif()
