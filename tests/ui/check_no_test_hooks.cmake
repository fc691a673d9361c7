# The shipped program carries no test hooks: it does not link Qt Test and
# holds neither the test driver nor the test switches read from the
# environment (those live in ravuone-e2e).  Looks for their names among the
# program's strings (library names, symbols, literals).
set(marks libQt6Test CTestDriver RAVUONE_TEST_DRIVER RAVUONE_ECHO_MESSAGES)
string(REPLACE ";" "|" pattern "${marks}")
file(STRINGS ${PROGRAM} strings REGEX "${pattern}")
set(found "")
foreach(mark ${marks})
  if("${strings}" MATCHES "${mark}")
    list(APPEND found ${mark})
  endif()
endforeach()
if(found)
  message(FATAL_ERROR "${PROGRAM} carries test hooks: ${found}")
endif()
