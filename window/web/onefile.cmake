# Puts a page together: the page's shell, its program's script, and the
# script's WebAssembly, gzipped, as base64 in the script's data-wasm
# attribute; for freqcode.html the worker's program alike, in an element
# that the page does not run but hands to its worker. Without the worker's
# files, the page's worker loads them from beside the page.
#   cmake -DSHELL=shell.html -DCODE=freqcode.js -DWASM=freqcode.wasm [-DWORKER_CODE=worker.js
#         -DWORKER_WASM=worker.wasm] -DOUT=freqcode.html -P onefile.cmake
file(READ ${SHELL} page)
function(program script wasm out)
  file(READ ${script} code)
  execute_process(COMMAND gzip -9 -n -c ${wasm} COMMAND base64 -w0 OUTPUT_VARIABLE packed COMMAND_ERROR_IS_FATAL ANY)
  # The script's text must not end the element early.
  string(TOLOWER "${code}" lower)
  string(FIND "${lower}" "</script" at)
  if(NOT at EQUAL -1)
    message(FATAL_ERROR "${script} holds </script, which would end its element")
  endif()
  set(${out}_code "${code}" PARENT_SCOPE)
  set(${out}_wasm "${packed}" PARENT_SCOPE)
endfunction()
program(${CODE} ${WASM} page)
set(worker_code "")
if(DEFINED WORKER_CODE)
  program(${WORKER_CODE} ${WORKER_WASM} worker)
endif()
foreach(place "{{{ SCRIPT }}}" "{{{ WORKER }}}")
  string(FIND "${page}" "${place}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "${SHELL} has no place for ${place}")
  endif()
endforeach()
# An all-ASCII page is read as 8-bit text, which the browser decodes and
# parses quicker. Other characters go into the shell as HTML entities, and
# into a script as String.fromCharCode: the script's minifier turns a
# string's escapes back into the characters.
string(ASCII 1 first)
string(ASCII 127 last)
string(REGEX MATCH "[^${first}-${last}]" other "${page}${page_code}${worker_code}")
if(other)
  message(FATAL_ERROR "${SHELL}, ${CODE} or ${WORKER_CODE} holds a character beyond ASCII (\"${other}\"): write it as an HTML entity, or in a script with String.fromCharCode")
endif()
string(REPLACE "{{{ SCRIPT }}}" "<script data-wasm=\"${page_wasm}\">\n${page_code}</script>" page "${page}")
if(DEFINED WORKER_CODE)
  string(REPLACE "{{{ WORKER }}}" "<script type=\"text/plain\" id=\"freqcode-worker\" data-wasm=\"${worker_wasm}\">\n${worker_code}</script>" page "${page}")
else()
  string(REPLACE "{{{ WORKER }}}\n" "" page "${page}")
endif()
file(WRITE ${OUT} "${page}")
