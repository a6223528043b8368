# The hosted page's program runs where its script stands, right after the
# window's place, as in the one-file page, rather than whenever it arrives,
# as the linker writes it (async): so that the window is made before the
# rest of the page is read and laid out. The page's head has its files on
# their way already (preload).
#   cmake -DPAGE=index.html -P blocking.cmake
file(READ ${PAGE} page)
set(async "<script async type=\"text/javascript\" src=\"index.js\"></script>")
string(FIND "${page}" "${async}" at)
if(at EQUAL -1)
  message(FATAL_ERROR "${PAGE} has no ${async}")
endif()
string(REPLACE "${async}" "<script src=\"index.js\"></script>" page "${page}")
file(WRITE ${PAGE} "${page}")
