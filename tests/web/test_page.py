"""What only the browser shows of the page, in headless Chromium through Selenium: layout as
rendered against window/layout.h, the user scenarios (tests/scenarios/scenarios.tsv), rounding by
measured width, bevel colours, About, Quit, the phone layout, and a reload with the server gone.

    test_page.py SITE_DIR SOURCE_DIR
"""
import functools, http.server, re, sys, tempfile, threading, time, unittest
from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.keys import Keys

SITE, SOURCE = sys.argv[1], sys.argv[2]
WHITE, DARK = "rgb(255, 255, 255)", "rgb(0, 0, 0)"
RAISED = [WHITE, WHITE, DARK, DARK] * 2  # Ln1 to Ln8
BOXES = ["TankOctaneRatingTxt", "TankCapacityTxt", "PumpOctaneRatingTxt"]
TAB_ORDER = ["TankOctaneRatingTxt", "TankCapacityTxt", "TankSld", "PumpOctaneRatingTxt",
             "PumpSld", "ResetCmd", "AboutCmd", "QuitCmd", "PicPct"]


def layout_table():
    """The 35 rows of window/layout.h: name, kind, the four twips figures, content, alignment."""
    with open(f"{SOURCE}/window/layout.h") as header:
        text = header.read()
    row = r'\{"(\w+)", Kind::(\w+), (\d+), (\d+), (\d+), (\d+),\s*"([^"]*)",\s*Alignment::(\w+)'
    return [(m[0], m[1], *map(int, m[2:6]), m[6], m[7]) for m in re.findall(row, text)]


class Site(http.server.ThreadingHTTPServer):
    """The site on 127.0.0.1; once offline it closes every connection unanswered, also those
    Chromium opened in advance."""
    online = True

    def __init__(self):
        site = self

        class Handler(http.server.SimpleHTTPRequestHandler):
            disable_nagle_algorithm = True  # else each answer waits for a delayed ACK
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

        super().__init__(("127.0.0.1", 0), functools.partial(Handler, directory=SITE))
        threading.Thread(target=self.serve_forever, daemon=True).start()
        self.url = f"http://127.0.0.1:{self.server_address[1]}/"

    def stop(self):
        self.online = False
        self.shutdown()
        self.server_close()


def chromium():
    options = webdriver.ChromeOptions()
    for arg in ["--headless", "--no-sandbox", "--disable-gpu", "--disable-background-networking",
                "--disable-component-update", "--disable-sync", "--no-first-run",
                "--window-size=1024,768", f"--user-data-dir={tempfile.mkdtemp()}"]:
        options.add_argument(arg)
    options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    return webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)


class Browser(unittest.TestCase):
    """A site and a fresh Chromium profile for each class; no error in the console after a test."""
    @classmethod
    def setUpClass(cls):
        cls.site, cls.d = Site(), chromium()

    @classmethod
    def tearDownClass(cls):
        cls.d.quit()
        cls.site.stop()

    def setUp(self):
        self.open()

    def tearDown(self):
        errors = [e["message"] for e in self.d.get_log("browser") if e["level"] == "SEVERE"]
        self.assertEqual(errors, [])

    def open(self, width=1024, mobile=False):
        self.d.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
            "width": width, "height": 768, "deviceScaleFactor": 1, "mobile": mobile})
        self.d.get(self.site.url)
        self.wait("document.querySelector('#FuelixFrm[data-ready]')")

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
                    tag: e.tagName, type: e.type, text: e.textContent, label: e.ariaLabel,
                    key: e.accessKey, mode: e.inputMode, font: parseFloat(s.fontSize),
                    range: [e.min, e.max, e.step], shown: s.display != 'none',
                    focusable: e.tabIndex >= 0, colour: s.backgroundColor};
            }
            return out;""")

    def state(self):
        return self.js("""const v = id => document.getElementById(id);
            return [...['TankOctaneRatingTxt', 'TankCapacityTxt', 'PumpOctaneRatingTxt',
                'TankSld', 'PumpSld'].map(id => v(id).value),
                ...['TankValueLbl', 'PumpFullLbl', 'PumpValueLbl', 'FinalOctaneLbl'].map(
                id => v(id).ariaLabel), v('PumpFullLbl').style.textAlign]""")

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

    def type_into(self, box, text):
        self.js("const b = document.getElementById(arguments[0]); b.focus(); b.select()", box)
        self.keys(text)

    def focus_order(self, steps):
        self.js("document.getElementById('TankOctaneRatingTxt').focus()")
        order = []
        for _ in range(steps):
            order.append(self.js("return document.activeElement.id"))
            self.keys(Keys.TAB)
        return order


class Page(Browser):
    def test_window_and_controls_as_laid_out(self):
        self.assertEqual(self.d.title, "Fuelix")
        top = self.js("""const h = [...document.querySelectorAll('h1,h2,h3,h4,h5,h6')]
            .find(h => h.textContent == 'Fuelix' && h.offsetHeight > 0);
            return [h.getBoundingClientRect().bottom,
                document.getElementById('FuelixFrm').getBoundingClientRect()]""")
        self.assertLessEqual(top[0], top[1]["top"])
        self.assertEqual((top[1]["width"], top[1]["height"]), (506, 441))
        self.assertEqual(self.js("return document.activeElement.id"), "TankOctaneRatingTxt")
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
                self.assertEqual(r["label"] or r["text"], caption, name)
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
            elif name.startswith("Paste:"):  # one edit, as a paste makes
                self.js("document.execCommand('insertText', false, arguments[0])", name[6:])
            elif name.startswith("Click:"):
                self.el(name[6:]).click()
            elif name == "KpDecimal":  # the keypad's key on a German layout
                for kind in ("keyDown", "keyUp"):
                    self.d.execute_cdp_cmd("Input.dispatchKeyEvent", {
                        "type": kind, "key": ",", "code": "NumpadDecimal", "text": ",",
                        "windowsVirtualKeyCode": 110, "location": 3})
            elif name == "MenuUndo":  # the browser's own undo, as its menu gives it
                self.js("document.execCommand('undo')")
            elif name == "MenuRedo":  # the browser offers it only after an undo of its own
                self.js("""document.activeElement.dispatchEvent(new InputEvent('beforeinput',
                    {inputType: 'historyRedo', bubbles: true, cancelable: true}))""")
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
                self.js("const e = document.getElementById(arguments[0]); e.focus();"
                        "if (e.select) e.select()", focus)
                runs = self.js("return fuelixRecalculations()")
                self.play(keys)
                seen = self.js("""const a = document.activeElement, out = {focus: a.id,
                    runs: fuelixRecalculations() - arguments[0], scrolled: []};
                    for (const e of document.querySelectorAll('#FuelixFrm input, [aria-label]'))
                        out[e.id] = e.tagName != 'INPUT' ? e.ariaLabel : e.type != 'text' || e != a
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

    def test_sliders_by_page_keys(self):
        self.el("TankSld").click()  # the middle of the track, where the thumb stands
        self.assertEqual(self.state()[3], "50")
        for key, value, volume in [(Keys.PAGE_UP, "55", "9.02"), (Keys.PAGE_DOWN, "50", "8.2")]:
            self.keys(key)  # the table's page step, not the browser's tenth of the range
            self.assertEqual(self.state()[3:6:2], [value, volume])

    def test_results_rounded_to_their_width(self):
        cases = [  # capacity typed, what TankValueLbl shows (None: the full caption)
            ("16.4", None), ("123456789.123", "6E+07"), ("1e300", "###")]
        for capacity, shown in cases:
            self.type_into("TankCapacityTxt", capacity)
            label = self.js("""const l = document.getElementById('TankValueLbl');
                return [l.textContent, l.ariaLabel, l.title, l.scrollWidth <= l.clientWidth]""")
            self.assertEqual(label[0], shown or label[1])
            self.assertEqual(label[2], "" if shown is None else label[1])
            self.assertTrue(label[3])
        # A blend beyond the double range is an arithmetic fault: "???", and the page goes on.
        self.type_into("TankCapacityTxt", "3")
        self.js("const s = document.getElementById('TankSld'); s.focus()")
        self.keys(Keys.HOME, Keys.RIGHT)
        for box in ("TankOctaneRatingTxt", "PumpOctaneRatingTxt"):  # the last one still typed
            self.type_into(box, "1.7976931348623157E+308")
        self.assertEqual(self.state()[8], "???")
        self.assertEqual(self.state()[5:], ["???", "???", "???", "???", "center"])
        self.type_into("PumpOctaneRatingTxt", "95")
        self.assertEqual(self.state()[5:9], ["0.03", "2.97", "2.97", "1.79769313486231E+306"])

    def test_bevel_about_and_quit(self):
        self.el("PicPct").click()
        self.keys(Keys.ENTER)  # the picture keeps the focus, and Enter toggles it too
        self.assertEqual(self.bevel(), RAISED)
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
        self.js("""for (const id of ['PicPct', 'ResetCmd']) document.getElementById(id).click();
            const b = document.getElementById('TankCapacityTxt'); b.value = '5';
            b.dispatchEvent(new Event('input'))""")
        self.assertEqual((self.state()[3:], self.bevel()), (before[0][3:], before[1]))

    def test_phone_width(self):
        self.open(360, mobile=True)
        rects = self.rects()
        self.assertLessEqual(self.js("return document.documentElement.scrollWidth"), 360)
        shown = {n: r for n, r in rects.items() if r["shown"] and not n.startswith("Ln")}
        for name, r in shown.items():
            if r["tag"] in ("INPUT", "BUTTON"):
                self.assertTrue(r["x"] >= -8 and r["x"] + r["w"] <= 352 and r["h"] >= 40, name)
            if r["type"] == "text" or name in ("TankValueLbl", "PumpFullLbl", "PumpValueLbl",
                                               "FinalOctaneLbl", "FinalOctaneRatingLbl"):
                self.assertGreaterEqual(r["font"], 16, name)
            for other, o in shown.items():
                overlap = (min(r["x"] + r["w"], o["x"] + o["w"]) - max(r["x"], o["x"]),
                           min(r["y"] + r["h"], o["y"] + o["h"]) - max(r["y"], o["y"]))
                self.assertFalse(other != name and min(overlap) > 0.5, (name, other))
        for box in BOXES:
            caption, r = rects[box.replace("Txt", "Lbl")], rects[box]
            self.assertLess(r["x"] - (caption["x"] + caption["w"]), 60, box)
        self.assertEqual(self.focus_order(9), TAB_ORDER)  # the phone keeps the keyboard order
        self.type_into("PumpOctaneRatingTxt", "98")
        self.assertEqual(self.state()[8], "94.5")
        for touch in ("touchStart", "touchEnd"):  # a tap is a click
            p = self.el("PicPct").rect
            self.d.execute_cdp_cmd("Input.dispatchTouchEvent", {"type": touch, "touchPoints": [
                {"x": p["x"] + 10, "y": p["y"] + 10}] if touch == "touchStart" else []})
        self.assertEqual(self.bevel()[0], DARK)
        self.open(1024)
        self.assertEqual(self.rects()["TankCapacityTxt"]["x"], 416)


class Installable(Browser):
    """Last, as it takes the site away."""
    def test_installable_and_offline(self):
        manifest = self.js("""return fetch(document.querySelector('link[rel=manifest]').href)
            .then(r => r.json())""")
        self.assertEqual((manifest["name"], manifest["display"]), ("Fuelix", "standalone"))
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
