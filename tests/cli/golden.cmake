# check_golden(OUT GOLDEN): fails, showing the diff, unless OUT has GOLDEN's
# bytes; with QV_UPDATE_GOLDEN=1 in the environment it rewrites GOLDEN instead.
function(check_golden out golden)
  if("$ENV{QV_UPDATE_GOLDEN}" STREQUAL "1")
    get_filename_component(golden_dir "${golden}" DIRECTORY)
    file(MAKE_DIRECTORY "${golden_dir}")
    file(COPY_FILE "${out}" "${golden}")
    message(STATUS "rewrote ${golden}")
    return()
  endif()
  execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${out}" "${golden}"
                  RESULT_VARIABLE differs)
  if(differs)
    execute_process(COMMAND diff -u "${golden}" "${out}")
    message(FATAL_ERROR "${out} differs from ${golden}")
  endif()
endfunction()
