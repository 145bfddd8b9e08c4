# Pads the stub with zero bytes until its last 4 bytes are zero: a package
# is recognised by a marker in the last 4 bytes, so the stub alone must
# never end in one.
file(SIZE "${STUB}" _size)
math(EXPR _tail "${_size} - 4")
file(READ "${STUB}" _last OFFSET ${_tail} LIMIT 4 HEX)
if(NOT _last STREQUAL "00000000")
  execute_process(COMMAND truncate -s +4 "${STUB}" RESULT_VARIABLE _rc)
  if(NOT _rc EQUAL 0)
    message(FATAL_ERROR "cannot pad ${STUB}")
  endif()
endif()
