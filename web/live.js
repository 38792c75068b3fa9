// Live mode in the page (?live): an editor tab per file the show loaded, whose
// text live reload takes when typing pauses; errors marked on their lines;
// edits kept in the browser; and, served by `scripts/web --live`, the files on
// disk followed as native live mode follows them.
"use strict";

const pageLive = window.pageLive = (() => {
  // Typing that pauses this long hands the text to the demo.
  const TYPING_PAUSE_MS = 300;
  // Looks at the files on disk five times a second, as native live mode does.
  const DISK_POLL_MS = 200;
  // The errors are read back at most this often.
  const ERROR_READ_MS = 100;
  const STORE_PREFIX = "demo.live.";
  const SHOW_SHADERS = ["background.vert", "background.frag", "gaussian_blur.vert",
                        "gaussian_blur.frag", "bloom_final.vert", "bloom_final.frag"];
  const EXPLORE_SHADERS = ["standard.vert", "standard.frag"];
  const CODEMIRROR = ["codemirror.js", "clike.js", "searchcursor.js", "dialog.js", "search.js"];
  const CODEMIRROR_CSS = ["codemirror.css", "dialog.css"];

  // Per file: its CodeMirror document, the version shipped or last seen on
  // disk (`base`), a newer one on disk not taken because of unsaved edits.
  const files = new Map();
  let active = false;
  let fromDisk = false;
  let editor = null;
  let current = null;
  let lastErrorRead = 0;
  const element = {};

  const el = (tag, props = {}, children = []) => {
    const node = Object.assign(document.createElement(tag), props);
    node.append(...children);
    return node;
  };

  function loadScript(src) {
    return new Promise((resolve, reject) => {
      const script = el("script", { src, onload: resolve });
      script.onerror = () => reject(new Error(`Could not load the editor (${src}).`));
      document.head.appendChild(script);
    });
  }

  // The URL's live parameters as the demo's options; a bad one throws its sentence.
  function parameters(params, page) {
    page.live = params.has("live");
    if (page.live)
      page.args.push("--live");
    if (params.has("tracks")) {
      const path = params.get("tracks");
      if (!/^tracks\/[\w-][\w.-]*$/.test(path))
        throw new Error(`The parameter tracks=${path} is not a file of the site's ` +
                        "tracks/ folder (such as tracks/flight.tracks).");
      page.tracks = path;
      page.args.push("--tracks", path);
    }
  }

  function fileNames(page) {
    const names = SHOW_SHADERS.concat(page.args.includes("--explore") ? EXPLORE_SHADERS : [])
      .map(name => "shaders/" + name);
    return page.tracks ? names.concat([page.tracks]) : names;
  }

  async function fetchText(name) {
    const response = await fetch(name, { cache: "no-store" });
    if (!response.ok)
      throw new Error(`${name}: HTTP ${response.status}`);
    return { text: await response.text(), disk: response.headers.get("X-Demo-Live") === "disk" };
  }

  // Keys reach the demo only while the picture has the focus: the demo's
  // window listeners are wrapped before the demo registers them.
  function guardKeys(canvas) {
    const add = window.addEventListener.bind(window);
    window.addEventListener = (type, listener, options) => {
      if (type === "keydown" || type === "keypress") {
        const inner = listener;
        listener = event => { if (document.activeElement === canvas) inner(event); };
      }
      return add(type, listener, options);
    };
    const focusText = () => {
      const onPicture = document.activeElement === canvas;
      element.focus.textContent = onPicture ? "Keys go to the picture" :
        "Keys stay in the page (click the picture for the demo's keys)";
      document.body.classList.toggle("live-picture-focus", onPicture);
    };
    document.addEventListener("focusin", focusText);
    document.addEventListener("focusout", () => setTimeout(focusText));
    canvas.addEventListener("mousedown", () => canvas.focus());
    focusText();
  }

  function note(text, action) {
    const line = el("div", { className: "live-note", textContent: text });
    if (action)
      line.append(" ", el("button", { textContent: action.label, onclick: () => {
        line.remove();
        action.run();
      } }));
    const dismiss = el("button", { textContent: "×", title: "Dismiss",
                                   onclick: () => line.remove() });
    line.append(" ", dismiss);
    element.notes.append(line);
  }

  function put(name) {
    if (!window.Module || !Module.ccall || !Module.calledRun)
      return;
    const text = files.get(name).doc.getValue();
    Module.ccall("page_live_put", null, ["string", "string"], [name, text]);
  }

  function store(name) {
    const file = files.get(name);
    const text = file.doc.getValue();
    try {
      if (text === file.base)
        localStorage.removeItem(STORE_PREFIX + name);
      else
        localStorage.setItem(STORE_PREFIX + name, text);
    } catch (error) {
      note(`Could not keep the edits of ${name} in this browser (${error.message}).`);
    }
    file.tab.classList.toggle("live-changed", text !== file.base);
  }

  // Every change is stored at once and reaches the demo when typing pauses
  // (a version taken from disk at once).
  function changed(name, now) {
    const file = files.get(name);
    store(name);
    clearTimeout(file.timer);
    if (now)
      put(name);
    else
      file.timer = setTimeout(() => put(name), TYPING_PAUSE_MS);
  }

  function replaceText(name, text, now) {
    const file = files.get(name);
    file.immediate = now;
    file.doc.setValue(text);
    file.immediate = false;
  }

  function show(name) {
    current = name;
    editor.swapDoc(files.get(name).doc);
    for (const [other, file] of files)
      file.tab.classList.toggle("live-current", other === name);
  }

  function download() {
    const edited = name => files.get(name).doc.getValue() !== files.get(name).base;
    const names = [...files.keys()].filter(edited);
    for (const name of names.length ? names : [current]) {
      const blob = new Blob([files.get(name).doc.getValue()], { type: "text/plain" });
      const link = el("a", { href: URL.createObjectURL(blob), download: name.split("/").pop() });
      link.click();
      setTimeout(() => URL.revokeObjectURL(link.href), 1000);
    }
  }

  // Writes the changed files into the picked folder (the checkout), under shaders/ and tracks/.
  async function saveToFolder() {
    let folder;
    try {
      folder = await window.showDirectoryPicker({ mode: "readwrite" });
    } catch (error) {
      return;
    }
    let saved = 0;
    for (const [name, file] of files) {
      const text = file.doc.getValue();
      if (text === file.base)
        continue;
      const [sub, leaf] = name.split("/");
      const handle = await (await folder.getDirectoryHandle(sub, { create: true }))
        .getFileHandle(leaf, { create: true });
      const writable = await handle.createWritable();
      await writable.write(text);
      await writable.close();
      saved += 1;
    }
    note(saved ? `Saved ${saved} file(s) into ${folder.name}/.` : "No file has changes to save.");
  }

  function buildPanel(canvas) {
    element.tabs = el("div", { id: "live-tabs" });
    element.notes = el("div", { id: "live-notes" });
    element.focus = el("div", { id: "live-focus" });
    const buttons = el("div", { id: "live-buttons" }, [
      el("button", { textContent: "Revert", title: "Back to the shipped version of this file",
                     onclick: () => replaceText(current, files.get(current).base, false) }),
      el("button", { textContent: "Download", onclick: download }),
    ]);
    if (window.showDirectoryPicker)
      buttons.append(el("button", { textContent: "Save to folder…", onclick: saveToFolder }));
    const host = el("div", { id: "live-editor" });
    document.body.append(el("div", { id: "live-panel" },
                            [element.focus, element.tabs, buttons, element.notes, host]));
    document.body.classList.add("live");
    editor = CodeMirror(host, { lineNumbers: true, indentUnit: 4, mode: "x-shader/x-fragment" });
    guardKeys(canvas);
  }

  function addFile(name, text, disk) {
    const mode = name.endsWith(".tracks") ? "text/plain" : "x-shader/x-fragment";
    const doc = CodeMirror.Doc(text, mode);
    const tab = el("button", { className: "live-tab", textContent: name.split("/").pop(),
                               title: name, onclick: () => show(name) });
    const file = { doc, tab, base: text, disk: null, timer: 0, immediate: false, marked: -1 };
    files.set(name, file);
    doc.on("change", () => changed(name, file.immediate));
    element.tabs.append(tab);
    fromDisk = fromDisk || disk;
  }

  // Edits kept in this browser come back over the shipped text.
  function restore() {
    const restored = [];
    for (const [name, file] of files) {
      const kept = localStorage.getItem(STORE_PREFIX + name);
      if (kept !== null && kept !== file.base) {
        file.doc.setValue(kept);
        restored.push(name);
      }
    }
    if (restored.length)
      note(`Your edits of ${restored.join(", ")} were kept in this browser and are back ` +
           "(Revert goes back to the shipped version).");
  }

  // A newer version on disk is taken when the page has no unsaved edits of
  // the file; otherwise the page offers to take it.
  async function pollDisk() {
    for (const [name, file] of files) {
      let text;
      try {
        text = (await fetchText(name)).text;
      } catch (error) {
        continue;
      }
      // An empty file is a save under way: looked at again next time.
      if (!text || text === file.base || text === file.disk)
        continue;
      const edited = file.doc.getValue() !== file.base;
      if (!edited || file.doc.getValue() === text) {
        file.base = text;
        file.disk = null;
        if (file.doc.getValue() !== text)
          replaceText(name, text, true);
        store(name);
        continue;
      }
      file.disk = text;
      const take = () => {
        file.base = text;
        file.disk = null;
        replaceText(name, text, true);
      };
      note(`${name} changed on disk; this page has unsaved edits of it.`,
           { label: "Take the disk's", run: take });
    }
    setTimeout(pollDisk, DISK_POLL_MS);
  }

  // The line (from 1) that an error message points at: a GLSL log's
  // "ERROR: 0:LINE:" or a tracks file's "FILE:LINE:".
  function errorLine(name, message) {
    const glsl = /ERROR:\s*\d+:(\d+):/.exec(message);
    const tracks = message.startsWith(name + ":") && /^[^:]*:(\d+):/.exec(message);
    const found = glsl || tracks;
    return found ? Number(found[1]) : 0;
  }

  function readErrors() {
    const text = Module.ccall("page_live_errors", "string", [], []);
    const errors = {};
    for (const record of text ? text.split("\x1e") : []) {
      const [name, message] = record.split("\x1f");
      errors[name] = message;
    }
    demo.live.errors = errors;
    for (const [name, file] of files) {
      const line = errors[name] ? errorLine(name, errors[name]) - 1 : -1;
      if (line === file.marked)
        continue;
      if (file.marked >= 0)
        file.doc.removeLineClass(file.marked, "wrap", "live-error-line");
      if (line >= 0)
        file.doc.addLineClass(line, "wrap", "live-error-line");
      file.marked = line;
      file.tab.classList.toggle("live-failing", !!errors[name]);
    }
  }

  // Loads the editor and the files, and builds the panel: before the demo starts.
  async function open(page, canvas) {
    active = true;
    for (const name of CODEMIRROR_CSS)
      document.head.append(el("link", { rel: "stylesheet", href: "codemirror/" + name }));
    for (const name of CODEMIRROR)
      await loadScript("codemirror/" + name);
    buildPanel(canvas);
    const names = fileNames(page);
    const texts = await Promise.all(names.map(fetchText));
    names.forEach((name, i) => addFile(name, texts[i].text, texts[i].disk));
    show(names[0]);
    restore();
    demo.live = {
      files: names,
      errors: {},
      read: name => files.get(name).doc.getValue(),
      write: (name, text) => {
        show(name);
        replaceText(name, text, false);
      },
    };
  }

  return {
    parameters,
    open,
    // The demo runs: it takes the editor's texts, and the disk is followed.
    started() {
      if (!active)
        return;
      for (const name of files.keys())
        put(name);
      if (fromDisk)
        setTimeout(pollDisk, DISK_POLL_MS);
    },
    // Play starts the live clock at the page's start.
    play(page) {
      if (active)
        Module.ccall("page_live_seek", null, ["number"], [page.start]);
    },
    frameDrawn() {
      const now = performance.now();
      if (active && now - lastErrorRead >= ERROR_READ_MS) {
        lastErrorRead = now;
        readErrors();
      }
    },
    // The music follows the live clock (outside live mode the page's clock follows the music).
    seekMusic(music, seconds) {
      if (!active)
        return;
      music.currentTime = seconds;
      if (!music.paused || music.ended)
        music.play().catch(() => {});
    },
    pauseMusic(music, paused) {
      if (active)
        paused ? music.pause() : music.play().catch(() => {});
    },
    // The recording keys wrote the tracks file: the tab shows it.
    written(name, text) {
      if (files.has(name)) {
        files.get(name).immediate = true;
        replaceText(name, text, true);
      }
    },
  };
})();
