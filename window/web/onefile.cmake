# Puts freqcode.html together: the page's shell, its script, and the
# script's WebAssembly, gzipped, as base64 in the script's data-wasm
# attribute.
#   cmake -DSHELL=shell.html -DCODE=freqcode.js -DWASM=freqcode.wasm -DOUT=freqcode.html -P onefile.cmake
file(READ ${SHELL} page)
file(READ ${CODE} code)
execute_process(COMMAND gzip -9 -n -c ${WASM} COMMAND base64 -w0 OUTPUT_VARIABLE wasm COMMAND_ERROR_IS_FATAL ANY)
# The script's text must not end the element early.
string(TOLOWER "${code}" lower)
string(FIND "${lower}" "</script" at)
if(NOT at EQUAL -1)
  message(FATAL_ERROR "${CODE} holds </script, which would end the page's script")
endif()
string(FIND "${page}" "{{{ SCRIPT }}}" at)
if(at EQUAL -1)
  message(FATAL_ERROR "${SHELL} has no place for the script")
endif()
# An all-ASCII page is read as 8-bit text, which the browser decodes and
# parses quicker. Other characters go into the shell as HTML entities, and
# into a script as String.fromCharCode: the script's minifier turns a
# string's escapes back into the characters.
string(ASCII 1 first)
string(ASCII 127 last)
string(REGEX MATCH "[^${first}-${last}]" other "${page}${code}")
if(other)
  message(FATAL_ERROR "${SHELL} or ${CODE} holds a character beyond ASCII (\"${other}\"): write it as an HTML entity, or in a script with String.fromCharCode")
endif()
string(REPLACE "{{{ SCRIPT }}}" "<script data-wasm=\"${wasm}\">\n${code}</script>" page "${page}")
file(WRITE ${OUT} "${page}")
