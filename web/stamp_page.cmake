# Writes the page with the build's id: the SHA-256 of the WebAssembly, so
# that what a build made and kept in a browser is never taken for another's.
#   cmake -DPAGE=<index.html> -DWASM=<tessaloom.wasm> -DOUT=<site/index.html> -P stamp_page.cmake
file(SHA256 ${WASM} id)
file(READ ${PAGE} text)
string(REPLACE "@TESSALOOM_BUILD_ID@" "${id}" text "${text}")
file(WRITE ${OUT} "${text}")
