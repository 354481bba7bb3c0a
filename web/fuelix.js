// Fuelix in the page: joins the window, which the page already holds with its start values, to
// the window core (the module that travels at the end of the page). The module calls the
// functions of `page` to read and write the elements (the notification model of
// window/controls.h); the elements' events call the module's handlers. What the user does before
// the module runs is kept and done over once it does, so that nothing typed or tapped is lost.
"use strict";

(() => {
  const frm = document.getElementById("FuelixFrm");
  const named = (list) => frm.dataset[list].split(" ").map((id) => document.getElementById(id));
  const boxes = named("boxes"), sliders = named("sliders"), results = named("results");
  const lines = named("lines"), commands = named("commands");
  const pageStep = Number(frm.dataset.pageStep);
  const Alignments = ["left", "right", "center"]; // the core's Left, Right, Centre
  const captions = results.map((r) => r.textContent);
  let pumpFullAlignment = Alignments.indexOf(results[1].style.textAlign);
  // A touch-only device, whose on-screen keyboard would cover the window whenever a box took the
  // focus by itself (the style sheet gives it the one-column layout by the same query).
  const touchOnly = () => matchMedia("(pointer: coarse) and (not (any-pointer: fine))").matches;

  const encoder = new TextEncoder();
  const decoder = new TextDecoder();
  let memory, core; // the module's memory and exports, once it runs
  let ended = false, known = [], settling = false; // known: see settle()
  const early = []; // what the user did before the module ran
  const measure = document.createElement("canvas").getContext("2d");

  // Texts cross in UTF-8; a view of the memory is taken afresh each time, as growing the
  // memory detaches the old one.
  const read = (address, length) => decoder.decode(new Uint8Array(memory.buffer, address, length));
  const write = (text, address, capacity) => {
    const bytes = encoder.encode(text);
    if (bytes.length <= capacity) new Uint8Array(memory.buffer, address, bytes.length).set(bytes);
    return bytes.length;
  };

  // A box not being edited shows the start of its text.
  const showStart = (box) => {
    box.setSelectionRange(0, 0);
    box.scrollLeft = 0;
  };

  // A result is announced as what it is and its whole value.
  const name = (i) =>
    results[i].setAttribute("aria-label", `${results[i].dataset.spoken} ${captions[i]}`);

  const fits = (label, text) => {
    const style = getComputedStyle(label);
    measure.font = `${style.fontStyle} ${style.fontWeight} ${style.fontSize} ${style.fontFamily}`;
    const room = label.clientWidth - parseFloat(style.paddingLeft) - parseFloat(style.paddingRight);
    return measure.measureText(text).width <= room;
  };

  const page = {
    text: (i, address, capacity) => write(boxes[i].value, address, capacity),
    // A different text is written at once and its Change handled before this returns; in the
    // box being edited the caret keeps its distance from the end.
    setText(i, address, length) {
      const box = boxes[i], text = read(address, length);
      if (box.value === text) return;
      const fromEnd = box.value.length - box.selectionStart;
      box.value = text;
      if (document.activeElement === box) {
        const caret = Math.max(0, text.length - fromEnd);
        box.setSelectionRange(caret, caret);
      } else {
        showStart(box);
      }
      core.fuelix_change(i);
    },
    caret: (i) => boxes[i].selectionStart,
    setCaret: (i, caret) => boxes[i].setSelectionRange(caret, caret),
    value: (i) => sliders[i].valueAsNumber,
    setValue: (i, value) => { sliders[i].value = value; },
    caption: (i, address, capacity) => write(captions[i], address, capacity),
    setCaption(i, address, length) {
      captions[i] = read(address, length);
      name(i);
      core.fuelix_fit(i);
    },
    alignment: () => pumpFullAlignment,
    setAlignment(alignment) {
      pumpFullAlignment = alignment;
      results[1].style.textAlign = Alignments[alignment];
    },
    drawMode: (i) => Number(lines[i].dataset.mode),
    setDrawMode: (i, mode) => { lines[i].dataset.mode = mode; },
    // With its whole text selected; on a touch-only device the focus stays where the finger was.
    setFocus(i) {
      if (touchOnly()) return;
      boxes[i].focus();
      boxes[i].select();
    },
    // showModal() does not wait for the dialog to close; About does nothing after it.
    showMessage(address, length, titleAddress, titleLength) {
      const dialog = document.getElementById("AboutDlg");
      dialog.setAttribute("aria-label", read(titleAddress, titleLength));
      // CSS takes a carriage return for a space, even where it keeps line breaks.
      document.getElementById("AboutText").textContent = read(address, length).replace(/\r/g, "\n");
      dialog.showModal();
    },
    // A page cannot close its tab: the window goes inert and says that it has ended.
    quit() {
      ended = true;
      document.body.classList.add("ended");
      frm.inert = true;
      document.getElementById("Ended").hidden = false;
    },
    fits: (i, address, length) => (fits(results[i], read(address, length)) ? 1 : 0),
    show(i, address, length) {
      const shown = read(address, length), label = results[i];
      label.textContent = shown;
      if (shown === captions[i]) label.removeAttribute("title");
      else label.title = captions[i];
    },
    report: (address, length) => console.error(`Fuelix: ${read(address, length)}`),
    // The memory grew: read() and write() take their views afresh anyway.
    emscripten_notify_memory_growth: () => {},
  };

  // Undo and Redo are the core's, however the browser asks for them: its keys, its menus, a phone
  // keyboard's key, shaking the phone. The browser offers them only while its own history of the
  // box holds a step, and assigning the box's text breaks that history. So after every event the
  // browser's history is made to hold a step to undo exactly when the core can undo in the focused
  // box and one to redo exactly when the core can redo; whatever the browser then undoes or redoes
  // itself is put back and done by the core.
  const offered = (command) => document.queryCommandEnabled(command);
  function settle(event) {
    known = boxes.map((b) => b.value);
    // The browser's own undo is still going on while its input event is handled; its history can
    // be set only once it is over.
    if (event?.type === "input" && /^history/.test(event.inputType)) return void setTimeout(settle);
    const i = boxes.indexOf(document.activeElement), steps = i < 0 ? 0 : core.fuelix_history(i);
    const undo = (steps & 1) === 1, redo = steps > 1;
    if (undo === offered("undo") && redo === offered("redo")) return;
    settling = true;
    // A box whose type changes gets a new editor, and the browser drops the old one's steps.
    boxes.forEach((b) => { b.type = "search"; b.type = "text"; });
    if (i >= 0) {
      const box = boxes[i], { selectionStart, selectionEnd, selectionDirection } = box;
      for (let n = undo + redo; n > 0; --n) {
        box.select(); // each a step of its own
        document.execCommand("insertText", false, "0");
      }
      if (redo) document.execCommand("undo");
      box.value = known[i]; // which leaves those steps nothing to change
      box.setSelectionRange(selectionStart, selectionEnd, selectionDirection);
    }
    settling = false;
  }

  // A box's text or a slider's position changed: handled now, or once the module runs, with the
  // text or position it had then.
  const changed = (i) => {
    if (core) return core.fuelix_change(i);
    const box = boxes[i], text = box.value, caret = box.selectionStart;
    early.push(() => {
      box.value = text;
      box.setSelectionRange(caret, caret);
      core.fuelix_change(i);
    });
  };
  const scrolled = (i) => {
    if (core) return core.fuelix_scroll(i);
    const slider = sliders[i], value = slider.value;
    early.push(() => {
      slider.value = value;
      core.fuelix_scroll(i);
    });
  };
  const later = (handler) => (core ? handler() : early.push(handler));

  function connect() {
    const live = (handler) => (...args) => {
      if (ended || settling) return;
      handler(...args);
      if (core) settle(args[0]);
    };
    boxes.forEach((box, i) => {
      const history = (e) =>
        (e.inputType === "historyUndo" ? core.fuelix_undo : core.fuelix_redo)(i);
      box.addEventListener("input", live((e) => {
        if (!core || !/^history/.test(e.inputType)) return changed(i);
        box.value = known[i]; // the browser's own step done (from its menus): the core's instead
        history(e);
      }));
      box.addEventListener("beforeinput", live((e) => {
        if (!core || !/^history/.test(e.inputType)) return;
        e.preventDefault();
        history(e);
      }));
      box.addEventListener("focus", live(() => {}));
      box.addEventListener("blur", live(() => {
        later(() => core.fuelix_finish(i));
        showStart(box);
      }));
      box.addEventListener("keydown", live((e) => {
        if (e.key === "Enter") {
          later(() => core.fuelix_finish(i));
        } else if (e.code === "NumpadDecimal" && e.key !== ".") {
          // The keypad's decimal key writes the point the numbers use, whatever the layout.
          e.preventDefault();
          box.setRangeText(".", box.selectionStart, box.selectionEnd, "end");
          changed(i);
        }
      }));
    });
    sliders.forEach((slider, i) => {
      slider.addEventListener("input", live(() => scrolled(i)));
      // A page step is the table's, not the browser's tenth of the range.
      slider.addEventListener("keydown", live((e) => {
        const step = { PageUp: 1, PageDown: -1 }[e.key];
        if (!step) return;
        e.preventDefault();
        const before = slider.valueAsNumber;
        slider.value = before + step * pageStep;
        if (slider.valueAsNumber !== before) scrolled(i);
      }));
    });
    commands.forEach((command, i) =>
      command.addEventListener("click", live(() => later(() => core.fuelix_click(i)))));
    // Rounded to the room a result has, whenever that room changes,
    const fitAll = () => results.forEach((_, i) => core.fuelix_fit(i));
    const observer = new ResizeObserver(live((entries) =>
      core && entries.forEach((e) => core.fuelix_fit(results.indexOf(e.target)))));
    results.forEach((r) => observer.observe(r));
    // and when a font arrives late; asking for document.fonts.ready instead would hold up the
    // start by a whole style pass.
    document.fonts.addEventListener("loadingdone", live(() => core && fitAll()));
    return fitAll;
  }

  // The module's bytes, from the text of the element after this script: one character a byte,
  // but for DEL, which stands before a byte written 64 higher.
  const moduleBytes = () => {
    const text = document.getElementById("FuelixModule").text;
    const bytes = new Uint8Array(text.length);
    let n = 0;
    for (let i = 1; i < text.length - 1; ++i) { // inside the line breaks around it
      const c = text.charCodeAt(i);
      bytes[n++] = c === 0x7f ? text.charCodeAt(++i) - 64 : c;
    }
    return bytes.subarray(0, n);
  };

  async function start(fitAll) {
    if (document.readyState === "loading") {
      await new Promise((resolve) => document.addEventListener("DOMContentLoaded", resolve));
    }
    const { instance } = await WebAssembly.instantiate(moduleBytes(), {
      env: page,
      wasi_snapshot_preview1: { proc_exit: (status) => { throw new Error(`Fuelix stopped (${status})`); } },
    });
    memory = instance.exports.memory;
    instance.exports._initialize();
    core = instance.exports;
    early.splice(0).forEach((done) => done());
    fitAll();
    settle();
    // For tests and the curious: how often the results were computed, and what the box's history
    // holds (fuelix_history).
    window.fuelixRecalculations = () => core.fuelix_recalculations();
    window.fuelixHistory = (box) => core.fuelix_history(box);
    frm.setAttribute("data-ready", "");
    performance.mark("fuelix-ready"); // what bench/web/run.py times
  }

  const fitAll = connect();
  page.setFocus(0);
  start(fitAll).catch((error) => {
    frm.textContent = "Fuelix could not start in this browser.";
    throw error;
  });
  if ("serviceWorker" in navigator && location.protocol !== "file:") {
    addEventListener("load", () => navigator.serviceWorker.register("sw.js"));
  }
})();
