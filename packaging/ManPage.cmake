# Writes the manual page from its template and the game's own --help, so that the options it
# lists are always the program's. Run as:
#   cmake -DGAME=quarn -DTEMPLATE=quarn.6.in -DOUTPUT=quarn.6 -DVERSION=1.0 -DDATADIR=... -P
cmake_minimum_required(VERSION 3.25)
execute_process(COMMAND ${GAME} --help OUTPUT_VARIABLE usage RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${GAME} --help failed: ${status}")
endif()

# Text for roff: backslashes escaped, and no line may start with a control character.
function(roff_text out text)
  string(REPLACE "\\" "\\e" text "${text}")
  string(REGEX REPLACE "^([.'])" "\\\\&\\1" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# Option lines are "  --name [ARG]  description"; a deeper-indented line goes on with the
# description above it.
set(options "")
string(REPLACE "\n" ";" lines "${usage}")
foreach(line IN LISTS lines)
  if(line MATCHES "^  (-[-A-Za-z0-9]+)( [A-Z][A-Z0-9:_]*)? +(.*)$")
    string(REPLACE "-" "\\-" name "${CMAKE_MATCH_1}")
    string(STRIP "${CMAKE_MATCH_2}" argument)
    roff_text(description "${CMAKE_MATCH_3}")
    if(argument STREQUAL "")
      string(APPEND options ".TP\n.B ${name}\n${description}\n")
    else()
      string(APPEND options ".TP\n.BI \"${name} \" ${argument}\n${description}\n")
    endif()
  elseif(line MATCHES "^    +([^ ].*)$" AND NOT options STREQUAL "")
    roff_text(description "${CMAKE_MATCH_1}")
    string(APPEND options "${description}\n")
  endif()
endforeach()
if(options STREQUAL "")
  message(FATAL_ERROR "no options found in the output of ${GAME} --help")
endif()
string(REGEX REPLACE "\n$" "" options "${options}")

file(READ ${TEMPLATE} page)
string(REPLACE "@OPTIONS@" "${options}" page "${page}")
string(REPLACE "@VERSION@" "${VERSION}" page "${page}")
string(REPLACE "@DATADIR@" "${DATADIR}" page "${page}")
file(WRITE ${OUTPUT} "${page}")
