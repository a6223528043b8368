// The list worker's script, around the list library's program (listwork.cpp):
// requests from the page queue until the program is up, then run in order,
// each the request under way (workrequest) while the program works on it.
var requests = [];
var running = false;
var workrequest = null;
function work(request) {
  workrequest = request;
  try {
    Module._freqcode_work();
  } finally {
    workrequest = null;
    blobparts = [];  // a request that ended early leaves none to the next
  }
}
self.onmessage = function (e) {
  if (running) work(e.data);
  else requests.push(e.data);
};
Module.onRuntimeInitialized = function () {
  running = true;
  requests.splice(0).forEach(work);
};
// A value of the request under way (group "") or of its fields ("fields"),
// as text.
function requestvalue(group, name) {
  var values = group ? workrequest[group] : workrequest;
  var value = values && values[name];
  return value === undefined || value === null ? '' : String(value);
}
// The page hands on its files as they were picked, and the program reads
// them here, part by part, so that the page's own thread copies none of
// a long list. A part is size bytes from at (fewer at the end, none past
// it), or null when the file cannot be read: moved, or changed since it
// was picked, which the browser tells by the file's time.
var reader = new FileReaderSync();
function readpart(file, at, size) {
  try {
    return new Uint8Array(reader.readAsArrayBuffer(file.slice(at, at + size)));
  } catch (e) {
    return null;
  }
}
// The parts of a long file the program is making, each a Blob.
var blobparts = [];
// Started from the one-file page, the worker gets its program's WebAssembly
// packed, as its first message (see startworker in panel.js), and unpacks
// and compiles it here, off the page's thread.
if (self.freqcodewasm) Module.instantiateWasm = function (imports, receive) {
  freqcodeunpack(self.freqcodewasm)
    .then(function (bytes) { return WebAssembly.instantiate(bytes, imports); })
    .then(function (made) { receive(made.instance); })
    // A failure reaches the page as the worker's error, which ends the
    // request with its reason.
    .catch(function (e) { setTimeout(function () { throw e; }); });
  return {};
};
