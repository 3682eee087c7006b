# cmake -DGROFF=... -DMAN_DIR=... -DPROGRAMS=a;b -P check_man_pages.cmake
# Fails when a manual page is missing, when groff warns about anything in it,
# or when its rendered text lacks the sections a reader looks for.
foreach(program IN LISTS PROGRAMS)
  set(page ${MAN_DIR}/${program}.1)
  if(NOT EXISTS ${page} OR NOT EXISTS ${MAN_DIR}/man1/${program}.1.gz)
    message(FATAL_ERROR "no manual page for ${program} in ${MAN_DIR}")
  endif()
  execute_process(COMMAND ${GROFF} -man -Tutf8 -P-cbou -ww -rLL=78n ${page}
                  RESULT_VARIABLE status OUTPUT_VARIABLE text ERROR_VARIABLE warnings)
  if(NOT status EQUAL 0 OR NOT warnings STREQUAL "")
    message(FATAL_ERROR "groff on ${page}: status ${status}\n${warnings}")
  endif()
  foreach(needed "NAME" "SYNOPSIS" "DESCRIPTION" "EXIT STATUS" "${program}")
    string(FIND "${text}" "${needed}" at)
    if(at EQUAL -1)
      message(FATAL_ERROR "${page} renders without \"${needed}\":\n${text}")
    endif()
  endforeach()
endforeach()
