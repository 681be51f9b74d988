# Writes the README the packages carry, for users, from the repository's:
#
#   cmake -DIN=README.md -DOUT=BUILD/README.md -P user_readme.cmake
#
# Passages only developers need (building, CI, benchmarks, the source's
# layout) stand between the lines "<!-- developers -->" and
# "<!-- /developers -->" and are left out; passages only users need stand in
# a comment between "<!-- users:" and ":users -->" and are shown.
cmake_minimum_required(VERSION 3.20)
file(READ ${IN} text)
set(begin "<!-- developers -->\n")
set(end "<!-- /developers -->\n")
while(TRUE)
  string(FIND "${text}" "${begin}" from)
  if(from EQUAL -1)
    break()
  endif()
  string(FIND "${text}" "${end}" to)
  if(to LESS from)
    message(FATAL_ERROR "${IN}: a developers' passage opened at offset ${from} is not closed")
  endif()
  string(LENGTH "${end}" end_length)
  math(EXPR after "${to} + ${end_length}")
  string(SUBSTRING "${text}" 0 ${from} head)
  string(SUBSTRING "${text}" ${after} -1 tail)
  set(text "${head}${tail}")
endwhile()
string(REPLACE "<!-- users:\n" "" text "${text}")
string(REPLACE ":users -->\n" "" text "${text}")
# Two blank lines where a passage was taken out become one.
string(REGEX REPLACE "\n\n\n+" "\n\n" text "${text}")
file(WRITE ${OUT} "${text}")
