"""What only the browser shows of the page, in headless Chromium through Selenium: layout as
rendered against window/layout.h, the user scenarios (tests/scenarios/scenarios.tsv), rounding by
measured width, what a screen reader hears, bevel colours (also in high contrast), About, Quit,
phones (touch only, both ways up), and a reload from a subfolder with the server gone.

    test_page.py SITE_DIR SOURCE_DIR
"""
import functools, http.server, os, re, sys, tempfile, threading, time, unittest
from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.keys import Keys

SITE, SOURCE = sys.argv[1], sys.argv[2]
WHITE, DARK = "rgb(255, 255, 255)", "rgb(0, 0, 0)"
RAISED = [WHITE, WHITE, DARK, DARK] * 2  # Ln1 to Ln8
BOXES = ["TankOctaneRatingTxt", "TankCapacityTxt", "PumpOctaneRatingTxt"]
RESULTS = ["TankValueLbl", "PumpFullLbl", "PumpValueLbl", "FinalOctaneLbl"]


def layout_table():
    """The 35 rows of window/layout.h: name, kind, the four twips figures, content, alignment."""
    with open(f"{SOURCE}/window/layout.h") as header:
        text = header.read()
    row = r'\{"(\w+)", Kind::(\w+), (\d+), (\d+), (\d+), (\d+),\s*"([^"]*)",\s*Alignment::(\w+)'
    return [(m[0], m[1], *map(int, m[2:6]), m[6], m[7]) for m in re.findall(row, text)]


class Site(http.server.ThreadingHTTPServer):
    """The site in a subfolder of 127.0.0.1, as a host may publish it; once offline it closes
    every connection unanswered, also those Chromium opened in advance. While `module` is clear,
    the page comes without the module at its end."""
    online = True

    def __init__(self):
        site, root = self, tempfile.mkdtemp()
        os.symlink(os.path.abspath(SITE), f"{root}/fuelix")
        self.module = threading.Event()
        self.module.set()

        class Handler(http.server.SimpleHTTPRequestHandler):
            disable_nagle_algorithm = True  # else each answer waits for a delayed ACK
            def copyfile(self, source, out):
                data = source.read()
                cut = data.find(b'<script type="application/wasm"')
                if cut > 0:
                    out.write(data[:cut])
                    out.flush()
                    site.module.wait()
                out.write(data[max(0, cut):])

            def handle_one_request(self):
                if site.online:
                    super().handle_one_request()
                else:
                    self.close_connection = True

            def end_headers(self):  # only the service worker may keep a file
                self.send_header("Cache-Control", "no-store")
                super().end_headers()

            def log_message(self, *args):
                pass

        super().__init__(("127.0.0.1", 0), functools.partial(Handler, directory=root))
        threading.Thread(target=self.serve_forever, daemon=True).start()
        self.url = f"http://127.0.0.1:{self.server_address[1]}/fuelix/"

    def stop(self):
        self.online = False
        self.shutdown()
        self.server_close()


def chromium(page_load_strategy="normal"):
    options = webdriver.ChromeOptions()
    options.page_load_strategy = page_load_strategy
    for arg in ["--headless", "--no-sandbox", "--disable-gpu", "--disable-background-networking",
                "--disable-component-update", "--disable-sync", "--no-first-run",
                "--window-size=1024,768", f"--user-data-dir={tempfile.mkdtemp()}"]:
        options.add_argument(arg)
    options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    return webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)


class Browser(unittest.TestCase):
    """A site and a fresh Chromium profile for each class; no error in the console after a test."""
    page_load_strategy = "normal"

    @classmethod
    def setUpClass(cls):
        cls.site, cls.d = Site(), chromium(cls.page_load_strategy)
        cls.d.execute_cdp_cmd("Browser.grantPermissions", {"permissions": [
            "clipboardReadWrite", "clipboardSanitizedWrite"]})  # for pastes

    @classmethod
    def tearDownClass(cls):
        cls.d.quit()
        cls.site.stop()

    def setUp(self):
        self.open()

    def tearDown(self):
        errors = [e["message"] for e in self.d.get_log("browser") if e["level"] == "SEVERE"]
        self.assertEqual(errors, [])

    def open(self, width=1024, height=768, touch=False, ready=True):  # touch: touch-only phone
        self.d.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
            "width": width, "height": height, "deviceScaleFactor": 1, "mobile": touch})
        self.d.execute_cdp_cmd("Emulation.setTouchEmulationEnabled", {"enabled": touch,
                                                                       "maxTouchPoints": 5})
        self.js("window.before = true")  # so that the waiting below sees the new page
        self.d.get(self.site.url)
        self.wait("!window.before && " + ("document.querySelector('#FuelixFrm[data-ready]')"
                  if ready else "document.scripts.length"))  # which runs as soon as it is in

    def start_state(self):
        self.assertEqual(self.state(), ["91", "16.4", "100", "50", "100", "8.2", "8.2", "8.2",
                                        "95.5", "left"])

    def js(self, script, *args):
        return self.d.execute_script(script, *args)

    def wait(self, condition, seconds=5):
        end = time.time() + seconds
        while not self.js(f"return !!({condition})"):
            self.assertLess(time.time(), end, condition)
            time.sleep(0.05)

    def el(self, name):
        return self.d.find_element("id", name)

    def rects(self):
        """Every control's rectangle relative to the window, and its element's facts."""
        return self.js("""
            const f = document.getElementById('FuelixFrm').getBoundingClientRect(), out = {};
            for (const e of document.querySelectorAll('#FuelixFrm > *')) {
                const r = e.getBoundingClientRect(), s = getComputedStyle(e);
                out[e.id] = {x: r.left - f.left, y: r.top - f.top, w: r.width, h: r.height,
                    tag: e.tagName, type: e.type, text: e.textContent, key: e.accessKey,
                    mode: e.inputMode, font: parseFloat(s.fontSize),
                    range: [e.min, e.max, e.step], shown: s.display != 'none',
                    focusable: e.tabIndex >= 0, colour: s.backgroundColor};
            }
            return out;""")

    def state(self):
        return self.js("""const v = id => document.getElementById(id);
            return [...['TankOctaneRatingTxt', 'TankCapacityTxt', 'PumpOctaneRatingTxt',
                'TankSld', 'PumpSld'].map(id => v(id).value),
                ...arguments[0].map(id => v(id).title || v(id).textContent),
                v('PumpFullLbl').style.textAlign]""", RESULTS)

    def spoken(self):
        """The results as a screen reader has them: each one's name, and whether it is announced."""
        return [(n["name"]["value"], {p["name"]: p["value"]["value"] for p in n["properties"]}.get(
            "live")) for n in self.d.execute_cdp_cmd("Accessibility.getFullAXTree", {})["nodes"]
            if n.get("role", {}).get("value") == "status"]

    def bevel(self):
        return [self.rects()[f"Ln{i}"]["colour"] for i in range(1, 9)]

    def keys(self, *keys, hold=None):
        chain = ActionChains(self.d)
        if hold:
            chain.key_down(hold)
        chain.send_keys(*keys)
        if hold:
            chain.key_up(hold)
        chain.perform()

    def tap(self, name):  # a finger on the middle of the control, scrolled into view
        p = self.js("""const e = document.getElementById(arguments[0]); e.scrollIntoView();
            const r = e.getBoundingClientRect(); return [r.x + r.width / 2, r.y + r.height / 2]""",
                    name)
        for kind, points in (("touchStart", [{"x": p[0], "y": p[1]}]), ("touchEnd", [])):
            self.d.execute_cdp_cmd("Input.dispatchTouchEvent", {"type": kind,
                                                                "touchPoints": points})

    def type_into(self, box, text):
        self.js("const b = document.getElementById(arguments[0]); b.focus(); b.select()", box)
        self.keys(text)


class Page(Browser):
    def test_window_and_controls_as_laid_out(self):
        # The page as served already holds the whole window at its start values; with scripts
        # off it says that it cannot compute.
        self.d.execute_cdp_cmd("Emulation.setScriptExecutionDisabled", {"value": True})
        self.d.get(self.site.url)
        self.laid_out()
        self.start_state()
        self.assertIn("needs JavaScript", self.js("return document.body.innerText"))
        self.d.execute_cdp_cmd("Emulation.setScriptExecutionDisabled", {"value": False})
        self.open()
        self.laid_out()
        self.assertNotIn("needs JavaScript", self.js("return document.body.innerText"))

    def laid_out(self):
        self.assertEqual(self.d.title, "Fuelix")
        top = self.js("""const h = [...document.querySelectorAll('h1,h2,h3,h4,h5,h6')]
            .find(h => h.textContent == 'Fuelix' && h.offsetHeight > 0);
            return [h.getBoundingClientRect().bottom,
                document.getElementById('FuelixFrm').getBoundingClientRect()]""")
        self.assertLessEqual(top[0], top[1]["top"])
        self.assertEqual((top[1]["width"], top[1]["height"]), (506, 441))
        rects, table = self.rects(), layout_table()
        self.assertEqual(len(table), 35)
        self.assertEqual(len(rects), 35)
        for name, kind, l, t, w, h, content, align in table:
            r = rects[name]
            if kind == "Line":  # from its start up to its end point, 1 px thick
                x1, y1, x2, y2 = (round(v / 15) for v in (l, t, w, h))
                want = (min(x1, x2 + 1), min(y1, y2 + 1), max(1, abs(x2 - x1)),
                        max(1, abs(y2 - y1)))
                self.assertEqual(min(r["w"], r["h"]), 1, name)
            else:
                want = tuple(round(v / 15) for v in (l, t, w, h))
            for got, expected in zip((r["x"], r["y"], r["w"], r["h"]), want):
                self.assertLessEqual(abs(got - expected), 0.5 if kind == "Line" else 1, (name, r))
            caption = content.replace("&", "")
            if kind == "TextBox":
                self.assertEqual((r["tag"], r["type"], r["mode"]), ("INPUT", "text", "decimal"))
            elif kind == "Slider":
                self.assertEqual((r["type"], r["range"]), ("range", ["0", "100", "1"]))
            elif kind == "PushButton":
                self.assertEqual((r["tag"], r["text"]), ("BUTTON", caption))
            elif kind == "Label":
                self.assertEqual(r["text"], caption, name)
                # A one-character caption's ink lies where the table's alignment puts it.
                before, after = self.js("""const l = document.getElementById(arguments[0]),
                    old = l.textContent; l.textContent = '1';
                    const range = document.createRange(); range.selectNodeContents(l);
                    const t = range.getBoundingClientRect(), b = l.getBoundingClientRect();
                    l.textContent = old; return [t.left - b.left, b.right - t.right]""", name)
                self.assertLessEqual({"Left": before, "Right": after}.get(
                    align, abs(before - after)), 3, name)
        self.assertEqual((rects["ResetCmd"]["key"], rects["QuitCmd"]["key"]), ("r", "q"))
        self.assertTrue(rects["PicPct"]["focusable"])
        fonts = {n: rects[n]["font"] for n in ("TankCapacityLbl", "FinalOctaneRatingLbl",
                                                 "FinalOctaneLbl", "TankCapacityTxt")}
        self.assertEqual({n: round(f, 2) for n, f in fonts.items()}, {
            "TankCapacityLbl": 10.67, "FinalOctaneRatingLbl": 16, "FinalOctaneLbl": 18,
            "TankCapacityTxt": 10.67})

    def play(self, keys):
        held = {"Ctrl": Keys.CONTROL, "Shift": Keys.SHIFT, "Alt": Keys.ALT}
        for token in re.findall(r"\{[^}]+\}|[^{]", keys):
            name = token.strip("{}")
            if len(token) == 1:
                self.keys(token)
            elif name.startswith("Paste:"):  # through the clipboard
                self.js("return navigator.clipboard.writeText(arguments[0])", name[6:])
                self.play("{Ctrl+V}")
            elif name.startswith("Click:"):
                self.el(name[6:]).click()
            elif name == "KpDecimal":  # the keypad's key on a German layout
                for kind in ("keyDown", "keyUp"):
                    self.d.execute_cdp_cmd("Input.dispatchKeyEvent", {
                        "type": kind, "key": ",", "code": "NumpadDecimal", "text": ",",
                        "windowsVirtualKeyCode": 110, "location": 3})
            elif name.startswith("Menu"):  # the browser's own, as its menus give it if offered
                self.js("""if (document.queryCommandEnabled(arguments[0]))
                    document.execCommand(arguments[0])""", name[4:].lower())
            else:  # modifiers held around a named key or a letter
                *mods, key = name.split("+")
                key = getattr(Keys, key.upper(), key.lower())
                chain = ActionChains(self.d)
                for m in mods:
                    chain.key_down(held[m])
                chain.send_keys(key)
                for m in reversed(mods):
                    chain.key_up(held[m])
                chain.perform()

    def test_scenarios(self):
        with open(f"{SOURCE}/tests/scenarios/scenarios.tsv") as table:
            rows = [line.rstrip("\n").split("\t") for line in table
                    if line.strip() and not line.startswith("#")]
        self.assertGreater(len(rows), 20)
        for focus, keys, checks in rows:
            with self.subTest(focus=focus, keys=keys):
                self.open()
                self.js("const e = document.getElementById(arguments[0]); if (e) e.focus();"
                        "if (e && e.select) e.select()", focus)
                runs = self.js("return fuelixRecalculations()")
                self.play(keys)
                seen = self.js("""const a = document.activeElement, out = {focus: a.id,
                    runs: fuelixRecalculations() - arguments[0], scrolled: []};
                    for (const e of document.querySelectorAll('#FuelixFrm input, output'))
                        out[e.id] = e.tagName != 'INPUT' ? e.title || e.textContent
                            : e.type != 'text' || e != a
                            ? e.value : e.value.slice(0, e.selectionStart) + '|'
                            + e.value.slice(e.selectionStart);
                    for (const e of document.querySelectorAll('#FuelixFrm input[type=text]'))
                        if (e != a && e.scrollLeft != 0) out.scrolled.push(e.id);
                    return out""", runs)
                seen["bevel"] = {tuple(RAISED): "raised"}.get(tuple(self.bevel()), "sunken")
                for check in checks.split(" "):
                    name, value = check.split("=", 1)
                    self.assertEqual(str(seen[name]), value, check)
                self.assertEqual(seen["scrolled"], [])  # a box left shows its start
                # The browser's menus offer Undo and Redo exactly when the core can do them.
                self.wait(f"""(i => (i < 0 ? 0 : fuelixHistory(i)) == document.queryCommandEnabled(
                    'undo') + 2 * document.queryCommandEnabled('redo'))({BOXES}.indexOf(
                    document.activeElement.id))""")

    def test_sliders_by_page_keys(self):
        self.el("TankSld").click()  # the middle of the track, where the thumb stands
        self.assertEqual(self.state()[3], "50")
        for key, value, volume in [(Keys.PAGE_UP, "55", "9.02"), (Keys.PAGE_DOWN, "50", "8.2")]:
            self.keys(key)  # the table's page step, not the browser's tenth of the range
            self.assertEqual(self.state()[3:6:2], [value, volume])

    def test_results_rounded_to_their_width(self):
        cases = [  # capacity typed, the volume's whole caption, what is shown if not that
            ("123456789.123", "61728394.5615", "6E+07"), ("1e300", "5E+299", "###"),
            ("16.4", "8.2", None)]  # the tooltip goes once the caption fits again
        for capacity, caption, shown in cases:
            self.type_into("TankCapacityTxt", capacity)
            label = self.js("""const l = document.getElementById('TankValueLbl');
                return [l.textContent, l.title, l.scrollWidth <= l.clientWidth]""")
            self.assertEqual(label, [shown or caption, caption if shown else "", True])
            self.assertEqual(self.spoken()[0], ("Volume in tank " + caption, None))
        self.assertEqual(self.spoken()[1:], [("Free space 8.2", None), (
            "Volume from pump 8.2", None), ("Final octane rating 95.5", "polite")])
        # A paste of megabytes is kept whole, the page goes on answering keys, and an edit after
        # it is a step of its own although the paste is beyond what the history keeps.
        pasted, length = "0." + "1" * 4000001, "return TankCapacityTxt.value.length"
        self.play("{Ctrl+A}{Paste:%s}{End}5" % pasted)
        self.assertEqual(self.js(length), len(pasted) + 1)
        self.play("{Ctrl+Z}")
        self.assertEqual(self.js(length), len(pasted))

    def test_bevel_about_and_quit(self):
        self.el("PicPct").click()
        self.keys(Keys.ENTER)  # the picture keeps the focus, and Enter toggles it too
        self.assertEqual(self.bevel(), RAISED)
        # High contrast paints the window in a system colour; both kinds of line stay apart from it.
        for features in ([{"name": "forced-colors", "value": "active"}], []):
            self.d.execute_cdp_cmd("Emulation.setEmulatedMedia", {"features": features})
            face = self.js("return getComputedStyle(arguments[0]).backgroundColor",
                           self.el("FuelixFrm"))
            self.assertEqual(len(set(self.bevel()) - {face}), 2)
        self.el("AboutCmd").click()
        dialog = self.js("""const d = document.getElementById('AboutDlg');
            return [d.open, d.ariaLabel, d.innerText.split('\\n').map(s => s.trim())]""")
        self.assertEqual(dialog[:2], [True, "About"])
        self.assertEqual(dialog[2][:3], ["Fuelix v1.1.1", "", "fuelix@example.org"])
        self.d.find_element("css selector", "#AboutDlg button").click()
        self.assertFalse(self.js("return document.getElementById('AboutDlg').open"))
        self.keys("q", hold=Keys.ALT)
        self.assertTrue(self.js("return document.body.classList.contains('ended')"))
        before = self.state(), self.bevel()
        ActionChains(self.d).click(self.el("PicPct")).click(self.el("TankCapacityTxt")).send_keys(
            "5").perform()
        self.keys("r", hold=Keys.ALT)
        self.assertEqual((self.state(), self.bevel()), before)

    def test_phones_and_narrow_windows(self):
        views = [  # width, height, touch only: one column below 522 px and on touch at any width
            (360, 740, True), (390, 844, True), (412, 915, True), (414, 896, True),
            (430, 932, True), (740, 360, True), (506, 768, False), (521, 768, False), (522, 768, False)]
        for width, height, touch in views:
            with self.subTest(width=width, height=height, touch=touch):
                self.open(width, height, touch)
                rects = self.rects()
                self.assertLessEqual(self.js("return document.documentElement.scrollWidth"), width)
                if width >= 522 and not touch:  # the window itself
                    self.assertEqual(rects["TankCapacityTxt"]["x"], 416)
                    continue
                shown = {n: r for n, r in rects.items() if r["shown"] and not n.startswith("Ln")}
                for name, r in shown.items():
                    self.assertTrue(r["tag"] not in ("INPUT", "BUTTON") or r["h"] >= 40, name)
                    if r["type"] == "text" or name in ("FinalOctaneRatingLbl", *RESULTS):
                        self.assertGreaterEqual(r["font"], 16, name)
                    for other, o in shown.items():
                        overlap = (min(r["x"] + r["w"], o["x"] + o["w"]) - max(r["x"], o["x"]),
                                   min(r["y"] + r["h"], o["y"] + o["h"]) - max(r["y"], o["y"]))
                        self.assertFalse(other != name and min(overlap) > 0.5, (name, other))
                for box in BOXES:
                    caption, r = rects[box.replace("Txt", "Lbl")], rects[box]
                    self.assertLess(r["x"] - (caption["x"] + caption["w"]), 60, box)
                if touch:  # no box takes the focus by itself, so no keyboard pops up; taps click
                    self.assertEqual(self.js("return document.activeElement.tagName"), "BODY")
                    self.tap("PicPct")
                    self.tap("ResetCmd")
                    self.assertEqual(self.js("return document.activeElement.id"), "ResetCmd")
                    self.assertEqual(self.bevel()[0], WHITE)


class EarlyInput(Browser):
    """Keys and taps while the module is still on its way are done once it runs, and nothing
    moves when it comes."""
    page_load_strategy = "none"

    def setUp(self):  # each visit a first one, not answered by the service worker
        self.d.execute_cdp_cmd("Network.enable", {})
        self.d.execute_cdp_cmd("Network.setBypassServiceWorker", {"bypass": True})

    def test_input_before_the_module_runs(self):
        for touch in (False, True):
            with self.subTest(touch=touch):
                self.site.module.clear()
                self.open(*((390, 844) if touch else (1024, 768)), touch, ready=False)
                places = lambda: (self.el("FuelixFrm").rect, {
                    n: (r["x"], r["y"], r["w"], r["h"]) for n, r in self.rects().items()})
                before = places()
                if not touch:  # where the first box has the focus from the start
                    self.keys("5", Keys.TAB, "20")
                self.tap("PicPct") if touch else self.el("PicPct").click()
                self.assertIsNone(self.js("return document.querySelector('[data-ready]')"))
                self.site.module.set()
                self.wait("document.querySelector('#FuelixFrm[data-ready]')")
                self.assertEqual(self.state()[:2] + self.state()[5:9], ["91", "16.4", "8.2", "8.2",
                    "8.2", "95.5"] if touch else ["5", "20", "10", "10", "10", "52.5"])
                self.assertEqual(self.bevel()[0], DARK)
                self.assertEqual(places(), before)


class Installable(Browser):
    """Last, as it takes the site away."""
    def test_installable_and_offline(self):
        manifest = self.js("""const link = document.querySelector('link[rel=manifest]');
            return fetch(link.href).then(r => r.json()).then(m => Object.assign(m, {
                start: new URL(m.start_url, link.href).href}))""")
        self.assertEqual((manifest["name"], manifest["display"], manifest["start"]),
                         ("Fuelix", "standalone", self.site.url))  # the subfolder it is in
        self.assertEqual([i["sizes"] for i in manifest["icons"]], ["192x192", "512x512"])
        # Each icon is the 32-pixel one enlarged without smoothing.
        same = self.js("""return (async () => {
            const load = async (src) => { const i = new Image(); i.src = src; await i.decode();
                return i; };
            const small = await load('icon-32.png'), out = [];
            for (const n of [192, 512]) {
                const big = await load(`icon-${n}.png`), drawn = (image, smooth) => {
                    const c = new OffscreenCanvas(n, n).getContext('2d');
                    c.imageSmoothingEnabled = smooth; c.drawImage(image, 0, 0, n, n);
                    return c.getImageData(0, 0, n, n).data.join(); };
                out.push(big.naturalWidth == n && drawn(big, true) == drawn(small, false)); }
            return out; })()""")
        self.assertEqual(same, [True, True])
        self.wait("navigator.serviceWorker.controller", 15)
        self.site.stop()
        self.d.refresh()
        self.wait("document.querySelector('#FuelixFrm[data-ready]')")
        self.type_into("PumpOctaneRatingTxt", "98")
        self.assertEqual(self.state()[8], "94.5")
        self.d.get_log("browser")  # the failed update check of the worker is expected offline


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
