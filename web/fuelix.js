// Fuelix in the page: loads the window core (fuelix.wasm), builds the window's elements from
// the layout table the module exports, and joins the two. The module calls the functions of
// `page` to read and write the elements (the notification model of window/controls.h); the
// elements' events call the module's handlers.
"use strict";

(() => {
  const Kind = { PictureBox: 0, PushButton: 1, Slider: 2, TextBox: 3, Label: 4, Line: 5 };
  const Alignments = ["left", "right", "center"]; // the core's Left, Right, Centre
  // What a screen reader announces for a control whose own text does not say it.
  const Spoken = {
    TankOctaneRatingTxt: "Tank octane rating", TankCapacityTxt: "Tank capacity",
    TankSld: "Tank fill level", PumpOctaneRatingTxt: "Pump octane rating",
    PumpSld: "Pump share of free space", AboutCmd: "About Fuelix",
    PicPct: "Toggle panel look (raised or sunken)", TankValueLbl: "Volume in tank",
    PumpFullLbl: "Free space", PumpValueLbl: "Volume from pump",
    FinalOctaneLbl: "Final octane rating",
  };
  // A touch-only device, whose on-screen keyboard would cover the window whenever a box took the
  // focus by itself (the style sheet gives it the one-column layout by the same query).
  const touchOnly = () => matchMedia("(pointer: coarse) and (not (any-pointer: fine))").matches;

  const module = fetch("fuelix.wasm")
    .then((response) => {
      if (!response.ok) throw new Error(`fuelix.wasm: ${response.status}`);
      return response.arrayBuffer();
    });

  const encoder = new TextEncoder();
  const decoder = new TextDecoder();
  let memory, core; // the module's memory and exports
  let boxes, sliders, results, lines, captions, pumpFullAlignment, ended = false;
  let known = [], settling = false; // the boxes' texts as the core last left them; see settle()
  const frm = document.getElementById("FuelixFrm");
  const measure = document.createElement("canvas").getContext("2d");

  // Texts cross in UTF-8; a view of the memory is taken afresh each time, as growing the
  // memory detaches the old one.
  const read = (address, length) => decoder.decode(new Uint8Array(memory.buffer, address, length));
  const write = (text, address, capacity) => {
    const bytes = encoder.encode(text);
    if (bytes.length <= capacity) new Uint8Array(memory.buffer, address, bytes.length).set(bytes);
    return bytes.length;
  };
  const px = (twips) => Math.round(twips / 15);

  // A box not being edited shows the start of its text.
  const showStart = (box) => {
    box.setSelectionRange(0, 0);
    box.scrollLeft = 0;
  };

  // A result is announced as what it is and its whole value.
  const name = (i) =>
    results[i].setAttribute("aria-label", `${Spoken[results[i].id]} ${captions[i]}`);

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

  function create(c, stacking) {
    let el;
    switch (c.kind) {
    case Kind.Label:
      el = document.createElement(layout.results.includes(c.name) ? "output" : "div");
      el.className = "label";
      el.textContent = c.content;
      el.style.textAlign = Alignments[c.align];
      if (c.points > 0) {
        el.classList.add("large"); // the result line, in the face the table names
        el.style.fontSize = `${c.points}pt`;
      }
      break;
    case Kind.TextBox:
      el = document.createElement("input");
      Object.assign(el, { type: "text", inputMode: "decimal", value: c.content,
        autocomplete: "off", spellcheck: false });
      break;
    case Kind.Slider:
      el = document.createElement("input");
      Object.assign(el, { type: "range", min: layout.slider.min, max: layout.slider.max, step: 1,
        value: c.value });
      break;
    case Kind.PushButton:
      el = document.createElement("button");
      el.type = "button";
      el.textContent = c.content.replace("&", "");
      if (c.content.includes("&")) el.accessKey = c.content[c.content.indexOf("&") + 1].toLowerCase();
      break;
    case Kind.PictureBox: {
      el = document.createElement("button");
      el.type = "button";
      const icon = new Image(32, 32);
      icon.src = "icon-32.png";
      icon.alt = "";
      el.append(icon);
      break;
    }
    case Kind.Line: {
      el = document.createElement("div");
      el.className = "line";
      el.dataset.mode = c.value;
      // From its start up to, not including, its end point, as on the desktop; one pixel thick.
      const [x1, y1, x2, y2] = [c.l, c.t, c.w, c.h].map(px);
      Object.assign(c, { box: [Math.min(x1, x2 + 1), Math.min(y1, y2 + 1),
        Math.max(1, Math.abs(x2 - x1)), Math.max(1, Math.abs(y2 - y1))] });
      break;
    }
    }
    el.id = c.name;
    if (Spoken[c.name]) el.setAttribute("aria-label", Spoken[c.name]);
    const [left, top, width, height] = c.box || [c.l, c.t, c.w, c.h].map(px);
    // Placed by the style sheet, which uses these only where the window has room to be itself.
    Object.entries({ left, top, width, height }).forEach(([k, v]) => el.style.setProperty(`--${k}`, `${v}px`));
    el.style.zIndex = String(100 - stacking); // the table lists the topmost first
    return el;
  }

  let layout;

  function build() {
    const byName = {};
    const controls = layout.controls.map((c, stacking) => (byName[c.name] = create(c, stacking), c));
    // Document order is keyboard order: by tab index, the lines (which take none) last.
    const order = (c) => (c.tab < 0 ? 1000 : c.tab);
    controls.slice().sort((a, b) => order(a) - order(b)).forEach((c) => frm.append(byName[c.name]));
    frm.style.setProperty("--width", `${px(layout.window.width)}px`);
    frm.style.setProperty("--height", `${px(layout.window.height)}px`);
    boxes = layout.boxes.map((n) => byName[n]);
    sliders = layout.sliders.map((n) => byName[n]);
    results = layout.results.map((n) => byName[n]);
    lines = layout.lines.map((n) => byName[n]);
    captions = results.map((r) => r.textContent);
    results.forEach((r, i) => {
      name(i);
      r.setAttribute("aria-live", i === results.length - 1 ? "polite" : "off"); // only the rating
    });
    pumpFullAlignment = layout.controls.find((c) => c.name === layout.results[1]).align;
    return byName;
  }

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

  function connect(byName) {
    const live = (handler) => (...args) => {
      if (ended || settling) return;
      handler(...args);
      settle(args[0]);
    };
    boxes.forEach((box, i) => {
      const history = (e) =>
        (e.inputType === "historyUndo" ? core.fuelix_undo : core.fuelix_redo)(i);
      box.addEventListener("input", live((e) => {
        if (!/^history/.test(e.inputType)) return core.fuelix_change(i);
        box.value = known[i]; // the browser's own step done (from its menus): the core's instead
        history(e);
      }));
      box.addEventListener("beforeinput", live((e) => {
        if (!/^history/.test(e.inputType)) return;
        e.preventDefault();
        history(e);
      }));
      box.addEventListener("focus", live(() => {}));
      box.addEventListener("blur", live(() => {
        core.fuelix_finish(i);
        showStart(box);
      }));
      box.addEventListener("keydown", live((e) => {
        if (e.key === "Enter") {
          core.fuelix_finish(i);
        } else if (e.code === "NumpadDecimal" && e.key !== ".") {
          // The keypad's decimal key writes the point the numbers use, whatever the layout.
          e.preventDefault();
          box.setRangeText(".", box.selectionStart, box.selectionEnd, "end");
          core.fuelix_change(i);
        }
      }));
    });
    sliders.forEach((slider, i) => {
      slider.addEventListener("input", live(() => core.fuelix_scroll(i)));
      // A page step is the table's, not the browser's tenth of the range.
      slider.addEventListener("keydown", live((e) => {
        const step = { PageUp: 1, PageDown: -1 }[e.key];
        if (!step) return;
        e.preventDefault();
        const before = slider.valueAsNumber;
        slider.value = before + step * layout.slider.page;
        if (slider.valueAsNumber !== before) core.fuelix_scroll(i);
      }));
    });
    layout.commands.forEach((name, i) => byName[name].addEventListener("click", live(() => core.fuelix_click(i))));
    // Rounded to the room a result has, whenever that room changes,
    const observer = new ResizeObserver(live((entries) => entries.forEach((e) => core.fuelix_fit(results.indexOf(e.target)))));
    results.forEach((r) => observer.observe(r));
    // and when a font arrives late; asking for document.fonts.ready instead would hold up the
    // start by a whole style pass.
    document.fonts.addEventListener("loadingdone", live(() => results.forEach((_, i) => core.fuelix_fit(i))));
  }

  async function start() {
    const { instance } = await WebAssembly.instantiate(await module, {
      env: page,
      wasi_snapshot_preview1: { proc_exit: (status) => { throw new Error(`Fuelix stopped (${status})`); } },
    });
    core = instance.exports;
    memory = core.memory;
    core._initialize();
    layout = JSON.parse(read(core.fuelix_layout(), core.fuelix_length()));
    const byName = build();
    connect(byName);
    page.setFocus(0);
    // For tests and the curious: how often the results were computed, and what the box's history
    // holds (fuelix_history).
    window.fuelixRecalculations = () => core.fuelix_recalculations();
    window.fuelixHistory = (box) => core.fuelix_history(box);
    frm.setAttribute("data-ready", "");
    performance.mark("fuelix-ready"); // what bench/web/run.py times
  }

  start().catch((error) => {
    frm.textContent = "Fuelix could not start in this browser.";
    throw error;
  });
  if ("serviceWorker" in navigator && location.protocol !== "file:") {
    addEventListener("load", () => navigator.serviceWorker.register("sw.js"));
  }
})();
