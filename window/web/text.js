// A text from a program (the page's, see dom.cpp, or the list worker's, see
// listwork.cpp), as its UTF-8 bytes and their count: decoded at once, with
// no search for an end the count gives.
function utf8text(pointer, length) {
  return UTF8Decoder.decode(HEAPU8.subarray(pointer, pointer + length));
}
