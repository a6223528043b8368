// The list panel's script, in the page: it takes the user's files and
// choices and shows what comes back from the list library, which does the
// work in a Web Worker (the worker's program, listwork.cpp and worker.js),
// so that no list, however long, holds up the page.
(function () {
  var script = document.currentScript;  // the page's program
  var $ = function (id) { return document.getElementById(id); };
  // Made from its code, since an escape in a string would come out of the
  // build as the character itself, and the page stays all ASCII.
  var ellipsis = String.fromCharCode(0x2026);

  // Both pages carry their program's WebAssembly in this script's data-wasm
  // attribute; freqcode.html also the worker's program, in an element of its
  // own.
  Module.instantiateWasm = function (imports, receive) {
    // A browser too old to unpack it says so in the window's place.
    if (typeof DecompressionStream === 'undefined') {
      $('Form1-frame').textContent = 'This browser is too old for this page: open it in a browser of 2023 or later.';
      return {};
    }
    freqcodeunpack(script.dataset.wasm).then(function (bytes) {
      receive(new WebAssembly.Instance(new WebAssembly.Module(bytes), imports));
    });
    return {};
  };

  // The worker, started once the page is up and again after a stop.
  var worker = null;
  var handle = null;  // what the answers to the request under way are for
  var filling = false;  // whether that request's rows fill the table
  function startworker() {
    // The hosted page's worker loads its program's files from beside the
    // page; the one-file page's runs the program's text, with its
    // WebAssembly as the first message, to unpack.
    var program = $('freqcode-worker');
    var source = program
      ? 'self.onmessage=function(e){self.onmessage=null;self.freqcodewasm=e.data;\n' + program.textContent + '\n};'
      : 'var Module={locateFile:function(p){return ' + JSON.stringify(new URL('.', document.baseURI).href) + '+p}};importScripts(' +
        JSON.stringify(new URL('worker.js', document.baseURI).href) + ');';
    var url = URL.createObjectURL(new Blob([source], { type: 'text/javascript' }));
    var made = worker = new Worker(url);
    URL.revokeObjectURL(url);
    if (program) made.postMessage(program.dataset.wasm);
    made.onmessage = function (e) { if (made === worker && handle) handle(e.data); };
    // A worker that fails (out of memory, say) ends its request with the
    // reason; the next request starts a new one.
    made.onerror = function (e) {
      e.preventDefault();
      made.terminate();
      if (made !== worker) return;
      worker = null;
      if (handle) handle({ type: 'end', summary: '', messages: '', chip: '', channels: 0,
                           failure: 'The page could not finish this: ' + (e.message || 'its program stopped') });
    };
  }
  function ask(request, answer) {
    if (handle) stop();
    if (!worker) startworker();
    handle = answer;
    worker.postMessage(request);
  }
  // A request under way is dropped, and with it the worker that runs it;
  // a list part-read leaves nothing behind.
  function stop() {
    if (worker) worker.terminate();
    worker = null;
    handle = null;
    progress(null);
    writing(false);
    if (filling) {
      filling = false;
      clearrows();
      $('listsummary').textContent = 'Stopped: the list was not read to its end, and no codes are offered.';
    }
  }

  // The list and the chip's dump last opened: they stay in this page only.
  var list = null, dump = null;
  function fields() {
    var values = {};
    ['liststep', 'listmode', 'rxat', 'txat', 'stride', 'first', 'fill', 'highnibble', 'chipname'].forEach(function (id) {
      values[id] = $(id).value;
    });
    return values;
  }

  // Progress, shown once a request has taken long enough to be noticed.
  var showing = null;
  function progress(done, total) {
    var box = $('listprogress');
    if (done === null) {
      clearTimeout(showing);
      showing = null;
      box.hidden = true;
      return;
    }
    if (showing === null) showing = setTimeout(function () { box.hidden = false; }, 300);
    var share = total > 0 ? done / total : 0;
    $('listbar').value = share;
    $('listdone').textContent = Math.floor(share * 100) + ' % read';
  }

  // The rows, kept in the batches the worker sends: their cells as bytes,
  // where each row ends in them, and each row's kind. A row becomes text
  // only when it is drawn, so that a long list costs the page its bytes
  // and no more.
  var batches = [], count = 0;
  var decoder = new TextDecoder();
  var columns = [];
  function batchof(i) {
    var low = 0, high = batches.length - 1;
    while (low < high) {
      var middle = (low + high + 1) >> 1;
      if (batches[middle].first <= i) low = middle;
      else high = middle - 1;
    }
    return batches[low];
  }
  function cellsof(i) {
    var batch = batchof(i), j = i - batch.first;
    return decoder.decode(batch.cells.subarray(j > 0 ? batch.ends[j - 1] : 0, batch.ends[j] - 1)).split('\x1f');
  }
  function kindof(i) {
    var batch = batchof(i);
    return String.fromCharCode(batch.kinds[i - batch.first]);
  }

  // The table draws only the rows in view, and a little around them: a
  // list of any length scrolls as a short one does.
  var view = null, body = null;  // the table's box and rows, once the page has them
  var rowheight = 0;
  var tallest = 8000000;  // a height every browser can scroll
  var everything = false;  // every row drawn, as for printing
  var whole = 100;  // a list up to this long is drawn whole, each row as high as it needs
  function rowelement(i) {
    var tr = document.createElement('tr');
    var kind = kindof(i);
    if (kind === 'f') tr.className = 'failed';
    else if (kind === 'r') tr.className = 'receiveonly';
    var cells = cellsof(i);
    for (var c = 0; c < columns.length; ++c) {
      var td = document.createElement('td');
      td.className = columns[c];
      td.textContent = cells[c];
      if (c === columns.length - 1 && cells[c].length > 30) td.title = cells[c];
      tr.appendChild(td);
    }
    return tr;
  }
  function spacer(height) {
    var tr = document.createElement('tr');
    tr.className = 'spacer';
    tr.setAttribute('aria-hidden', 'true');
    var td = document.createElement('td');
    td.colSpan = columns.length;
    td.style.height = height + 'px';
    tr.appendChild(td);
    return tr;
  }
  // What is drawn: rows first to last, the room above them, and the spacer
  // below (or none). Rows are added at most perframe at a time, so that no
  // frame takes the page's thread long, however the table changes.
  var drawn = null, perframe = 10;
  function draw(force) {
    var n = count;
    if (n === 0) {
      body.textContent = '';
      drawn = null;
      return;
    }
    // A row's height is known once one is drawn; until then, a guess.
    var measure = !rowheight;
    if (measure) rowheight = 20;
    var first = 0, last = n, above = 0, below = 0;
    var windowed = !everything && n > whole;
    $('listrows').classList.toggle('windowed', windowed);
    if (windowed) {
      // The scroll position maps onto the rows in proportion, so that a
      // list taller than a browser can scroll still reaches its end.
      var room = Math.max(view.clientHeight, 400);
      var all = n * rowheight, height = Math.min(all, tallest);
      var top = Math.min(view.scrollTop, Math.max(height - room, 0));
      var at = height > room ? top / (height - room) * (all - room) : 0;
      first = Math.max(0, Math.floor(at / rowheight) - 10);
      last = Math.min(n, Math.ceil((at + room) / rowheight) + 10);
      above = Math.round(top - (at - first * rowheight));
      below = Math.max(height - above - (last - first) * rowheight, 0);
    }
    if (force || !drawn || drawn.first !== first || drawn.above !== above || drawn.windowed !== windowed ||
        drawn.rowheight !== rowheight || drawn.last > last) {
      body.textContent = '';
      drawn = { first: first, last: first, above: above, windowed: windowed, rowheight: rowheight, spacer: null };
      if (above > 0) body.appendChild(spacer(above));
    }
    var upto = everything ? last : Math.min(last, drawn.last + perframe);
    var fragment = document.createDocumentFragment();
    for (var i = drawn.last; i < upto; ++i) fragment.appendChild(rowelement(i));
    body.insertBefore(fragment, drawn.spacer);
    drawn.last = upto;
    var rest = below + (last - upto) * rowheight;
    if (rest > 0 && !drawn.spacer) drawn.spacer = body.appendChild(spacer(rest));
    else if (rest > 0) drawn.spacer.firstChild.style.height = rest + 'px';
    else if (drawn.spacer) {
      body.removeChild(drawn.spacer);
      drawn.spacer = null;
    }
    if (upto < last) redraw();
    if (measure && windowed) {
      var row = body.querySelector('tr:not(.spacer)');
      var measured = row ? row.getBoundingClientRect().height : 0;
      if (measured > 0 && Math.abs(measured - rowheight) > 0.5) {
        rowheight = measured;
        redraw();
      } else if (!measured) rowheight = 0;
    } else if (measure) rowheight = 0;
  }
  var pending = false;
  function redraw() {
    if (pending) return;
    pending = true;
    requestAnimationFrame(function () { pending = false; draw(false); });
  }
  // A printed sheet holds every row.
  function printing(on) {
    everything = on;
    rowheight = 0;
    draw(true);
  }

  function clearrows() {
    batches = [];
    count = 0;
    view.scrollTop = 0;
    draw(true);
    $('listview').hidden = true;
  }
  // While a list comes in, the table is drawn as soon as the rows would
  // fill its first screen, then once a second: drawing takes the page's
  // own thread, which reading the list leaves free.
  var drawnat = 0;
  function addrows(message) {
    var before = count;
    batches.push({ first: count, cells: message.cells, ends: message.ends, kinds: message.kinds });
    count += message.kinds.length;
    if (message.total !== undefined) progress(message.done, message.total);
    if (before < 100 || Date.now() - drawnat > 1000) {
      drawnat = Date.now();
      redraw();
    }
  }

  // What the last list offers to save: all its messages, kept as bytes,
  // and its codes, as the request that writes them.
  var offered = { listsave: null, listmore: null };
  function offer(id, what) {
    offered[id] = what || null;
    $(id).hidden = !what;
    if (id === 'listsave') writing(false);
  }
  // The codes are written only when asked for (see writethecodes): the
  // button says so meanwhile, and the download follows.
  var savelabel = '';
  function writing(on) {
    $('listsave').disabled = on;
    $('listsave').textContent = on ? 'Writing the codes ' + ellipsis : savelabel;
  }
  function savecodes() {
    if (!offered.listsave) return;
    var request = offered.listsave;
    ask(request, function (message) {
      if (message.type === 'progress') progress(message.done, message.total);
      else if (message.type === 'file') save(message.bytes, message.name, message.mime);
      else if (message.type === 'end') {
        handle = null;
        progress(null);
        writing(false);
        // A file that can no longer be read has no codes to offer; the
        // table stays, as it was read.
        if (message.failure) {
          $('listsummary').textContent = message.failure;
          offer('listsave', null);
        }
      }
    });
    writing(true);
  }

  // The list's messages: the first of them in the page, all of them to
  // save when there are more.
  function say(message, savename) {
    $('listmessages').textContent = message.messages;
    offer('listmore', message.allmessages && { bytes: message.allmessages, name: savename, type: 'text/plain' });
    if (message.allmessages)
      $('listmore').textContent = 'Save all ' + message.messagelines + ' messages (' +
        (message.messagelines - message.messages.split('\n').length + 1) + ' more than shown)';
  }
  function base(name) {
    var dot = name.lastIndexOf('.');
    return dot > 0 ? name.slice(0, dot) : name;
  }
  function save(bytes, name, type) {
    var url = URL.createObjectURL(new Blob([bytes], { type: type }));
    var link = document.createElement('a');
    link.href = url;
    link.download = name;
    link.click();
    setTimeout(function () { URL.revokeObjectURL(url); }, 1000);
  }

  // A request whose rows fill the table: the list, or a chip's dump.
  function fill(request, done) {
    ask(request, function (message) {
      if (message.type === 'rows') addrows(message);
      else if (message.type === 'progress') progress(message.done, message.total);
      else if (message.type === 'fields') {
        ['rxat', 'txat', 'stride', 'first'].forEach(function (id) { $(id).value = message[id]; });
      } else if (message.type === 'end') {
        handle = null;
        filling = false;
        progress(null);
        // A request that failed part-way leaves no rows behind.
        if (message.failure) clearrows();
        $('listsummary').textContent = message.failure || message.summary;
        $('listview').hidden = count === 0;
        redraw();
        done(message);
      }
    });
    filling = true;
    clearrows();
    $('listsummary').textContent = 'Reading ' + (request.name || request.dumpname) + ' ' + ellipsis;
    $('listmessages').textContent = '';
    offer('listmore', null);
    offer('listsave', null);
    $('listprint').hidden = true;
    // The table's box shows at once, its headings only, so that the first
    // rows cost the page no more than drawing them.
    $('listview').hidden = false;
    progress(0, 1);
  }
  function readlist() {
    if (!list) return;
    var request = { op: 'list', name: list.name, file: list.file, fields: fields() };
    fill(request, function (message) {
      say(message, base(list.name) + '-messages.txt');
      // Only this list's codes are offered, written with the choices its
      // table was read with: a file that gave none withdraws the last one's.
      offer('listsave', message.channels > 0 && { op: 'codes', name: request.name, file: request.file, fields: request.fields });
      $('listprint').hidden = message.channels === 0;
    });
  }
  function readdump(op) {
    if (!dump) {
      $('chipmessages').textContent = "Open a chip's dump first.";
      return;
    }
    fill({ op: op, dumpname: dump.name, dump: dump.file, fields: fields() }, function (message) {
      $('chipmessages').textContent = message.chip;
    });
  }
  function image(format) {
    if (!list) {
      $('chipmessages').textContent = 'Open a channel list first.';
      return;
    }
    var into = $('intodump').checked && dump;
    $('chipmessages').textContent = 'Making the image ' + ellipsis;
    ask({ op: 'image', name: list.name, file: list.file, dump: into ? dump.file : null, dumpname: into ? dump.name : '',
          format: format, fields: fields() }, function (message) {
      if (message.type === 'file') save(message.bytes, message.name, message.mime);
      else if (message.type === 'end') {
        handle = null;
        $('chipmessages').textContent = message.failure || message.chip;
      }
    });
  }

  // A file as picked, with its name's last part (or the name given).
  function opened(file, otherwise) {
    var name = file.name.split(/[\\/]/).pop();
    return { name: name === '' || name === '.' || name === '..' ? otherwise : name, file: file };
  }
  function openlist(file) {
    if (!file) return;
    list = opened(file, 'list.csv');
    readlist();
  }
  Module.startpanel = function () {
    view = $('listview');
    body = $('listbody');
    view.addEventListener('scroll', redraw, { passive: true });
    window.addEventListener('resize', function () { rowheight = 0; redraw(); });
    window.addEventListener('beforeprint', function () { printing(true); });
    window.addEventListener('afterprint', function () { printing(false); });
    matchMedia('print').addEventListener('change', function (e) { printing(e.matches); });
    columns = Array.prototype.map.call(document.querySelectorAll('#listhead th'), function (th) { return th.className; });
    // Emptied once read, so that picking the same file again, edited, opens it again.
    $('listfile').addEventListener('change', function (e) {
      openlist(e.target.files[0]);
      e.target.value = '';
    });
    $('dumpfile').addEventListener('change', function (e) {
      if (e.target.files[0]) {
        dump = opened(e.target.files[0], 'dump.bin');
        readdump('dump');
      }
      e.target.value = '';
    });
    ['liststep', 'listmode'].forEach(function (id) { $(id).addEventListener('change', readlist); });
    $('listcancel').addEventListener('click', stop);
    savelabel = $('listsave').textContent;
    $('listsave').addEventListener('click', savecodes);
    $('listmore').addEventListener('click', function () {
      if (offered.listmore) save(offered.listmore.bytes, offered.listmore.name, offered.listmore.type);
    });
    $('listprint').addEventListener('click', function () { window.print(); });
    $('findlayout').addEventListener('click', function () { readdump('find'); });
    $('saveimagebin').addEventListener('click', function () { image('bin'); });
    $('saveimagehex').addEventListener('click', function () { image('hex'); });
    var drop = $('listdrop');
    document.addEventListener('dragover', function (e) { e.preventDefault(); drop.classList.add('over'); });
    document.addEventListener('dragleave', function () { drop.classList.remove('over'); });
    document.addEventListener('drop', function (e) {
      e.preventDefault();
      drop.classList.remove('over');
      openlist(e.dataTransfer.files[0]);
    });
    // The worker starts once the page is drawn, and is ready for the first list.
    setTimeout(function () { if (!worker) startworker(); }, 500);
  };
})();
