// A text from the page's program, as its UTF-8 bytes and their count (see
// dom.cpp): decoded at once, with no search for an end the count gives.
function domtext(pointer, length) {
  return UTF8Decoder.decode(HEAPU8.subarray(pointer, pointer + length));
}
