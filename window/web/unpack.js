// The one-file page carries each of its two programs' WebAssembly gzipped,
// as base64, at less than half the size of base64 alone; the hosted page
// fetches them as files. Unpacked from a stream of its own rather than a
// Blob's, which the browser reads in another process: so unpacking takes
// promises only, and the window is drawn before the page's next task.
function freqcodeunpack(base64) {
  var packed;
  if (Uint8Array.fromBase64) {
    packed = Uint8Array.fromBase64(base64);
  } else {
    var text = atob(base64);
    packed = new Uint8Array(text.length);
    for (var i = 0; i < text.length; ++i) packed[i] = text.charCodeAt(i);
  }
  var parts = [], size = 0;
  var reader = new ReadableStream({ start: function (c) { c.enqueue(packed); c.close(); } })
    .pipeThrough(new DecompressionStream('gzip')).getReader();
  function more(part) {
    if (!part.done) {
      parts.push(part.value);
      size += part.value.length;
      return reader.read().then(more);
    }
    var whole = new Uint8Array(size), at = 0;
    parts.forEach(function (p) { whole.set(p, at); at += p.length; });
    return whole;
  }
  return reader.read().then(more);
}
