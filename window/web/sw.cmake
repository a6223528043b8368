# Writes the site's service worker with its cache named by a hash of the
# files it keeps: cmake -DSITE=folder -DSOURCE=sw.js -P sw.cmake
set(hashes "")
foreach(file index.html index.js index.wasm manifest.webmanifest icon-192.png icon-512.png icon-maskable-512.png)
  file(SHA256 ${SITE}/${file} hash)
  string(APPEND hashes "${hash}")
endforeach()
string(SHA256 BUILD "${hashes}")
string(SUBSTRING "${BUILD}" 0 16 BUILD)
configure_file(${SOURCE} ${SITE}/sw.js @ONLY)
