# Writes the site's service worker with its cache named by a hash of the
# site's other files: cmake -DSITE=folder -DSOURCE=sw.js -P sw.cmake
file(GLOB files LIST_DIRECTORIES false RELATIVE ${SITE} ${SITE}/*)
list(REMOVE_ITEM files sw.js)
list(SORT files)
set(hashes "")
foreach(file ${files})
  file(SHA256 ${SITE}/${file} hash)
  string(APPEND hashes "${file} ${hash}\n")
endforeach()
string(SHA256 BUILD "${hashes}")
string(SUBSTRING "${BUILD}" 0 16 BUILD)
configure_file(${SOURCE} ${SITE}/sw.js @ONLY)
