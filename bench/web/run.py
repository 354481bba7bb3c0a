"""A first visit to the page on a phone network, beside the floor: a one-file plain page doing the
same sums (floor.html here). Both are served gzip-compressed by web/serve.py, the static host the
page's tests and `./dev web --serve` use, under Lighthouse's mobile network throttling (150 ms
round trip, 1.6 Mbit/s down, 750 kbit/s up), in headless Chromium with a fresh profile per visit,
started and idle before it. The two pages take turns, RUNS visits each. For each: when the
first frame shows the final octane rating's start value (Element Timing on that element), and
when the page answers input (the `fuelix-ready` or `floor-ready` mark, set with data-ready),
each also as a ratio to the floor. After each cold visit to the site, a warm one (the service
worker answers) and an offline one, on the same throttled network. It also prints the site's
bytes per file, raw and gzip -9.

    /usr/bin/python3 bench/web/run.py [SITE_DIR] [RUNS]     (build/web/site, 7)
"""
import gzip, os, statistics, sys, tempfile, time
from selenium import webdriver
from selenium.common.exceptions import TimeoutException
from selenium.webdriver.chrome.service import Service

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "../../web"))
from serve import StaticHost  # noqa: E402

SITE = sys.argv[1] if len(sys.argv) > 1 else "build/web/site"
RUNS = int(sys.argv[2]) if len(sys.argv) > 2 else 7
PHONE = {"offline": False, "latency": 150, "downloadThroughput": 200_000,
         "uploadThroughput": 93_750}

# Waits for the page's ready mark and the first paint of the final rating; also what the visit
# fetched over the network (a service worker's answers transfer nothing).
MEASURE = """
const [mark, done] = arguments;
const paint = {};
new PerformanceObserver((list) => list.getEntries().forEach((e) => {
  if (e.identifier === "final-rating" && !paint.at) paint.at = e.renderTime || e.loadTime;
})).observe({ type: "element", buffered: true });
const check = () => {
  const ready = performance.getEntriesByName(mark)[0];
  if (!ready || !paint.at) return setTimeout(check, 10);
  const fetched = [...performance.getEntriesByType("navigation"),
                   ...performance.getEntriesByType("resource")];
  done({ paint: paint.at, ready: ready.startTime,
         shown: document.querySelector("[elementtiming=final-rating]").textContent,
         requests: fetched.filter((e) => e.transferSize > 0).length,
         bytes: fetched.reduce((sum, e) => sum + e.transferSize, 0) });
};
check();
"""


def chromium():
    options = webdriver.ChromeOptions()
    for arg in ["--headless", "--no-sandbox", "--disable-gpu", "--disable-background-networking",
                "--disable-component-update", "--disable-sync", "--no-first-run",
                "--window-size=1024,768", f"--user-data-dir={tempfile.mkdtemp()}"]:
        options.add_argument(arg)
    d = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
    d.set_script_timeout(60)
    d.get("about:blank")
    time.sleep(2)  # a browser already running, as a visitor's is, not one still starting
    d.execute_cdp_cmd("Network.enable", {})
    d.execute_cdp_cmd("Network.emulateNetworkConditions", PHONE)
    return d


def visit(d, url, mark):
    d.get(url)
    try:
        result = d.execute_async_script(MEASURE, mark)
    except TimeoutException:
        raise SystemExit(f"{url}: no {mark} mark, or no first paint of an element marked "
                         'elementtiming="final-rating"') from None
    assert result["shown"] == "95.5", result  # the start value, not a placeholder
    return result


def site_visits(host):
    """A cold visit, then a warm one once the service worker controls the page, then one with
    the network gone."""
    d = chromium()
    try:
        cold = visit(d, host.url, "fuelix-ready")
        d.execute_async_script("navigator.serviceWorker.ready.then(() => arguments[0]())")
        for _ in range(50):
            if d.execute_script("return !!navigator.serviceWorker.controller"):
                break
            time.sleep(0.1)
        warm = visit(d, host.url, "fuelix-ready")
        host.online = False
        d.execute_cdp_cmd("Network.emulateNetworkConditions", {**PHONE, "offline": True})
        offline = visit(d, host.url, "fuelix-ready")
        host.online = True
        return cold, warm, offline
    finally:
        host.online = True
        d.quit()


def floor_visit(host):
    d = chromium()
    try:
        return visit(d, host.url + "floor.html", "floor-ready")
    finally:
        d.quit()


def sizes():
    rows, total = [], [0, 0]
    for name in sorted(os.listdir(SITE)):
        with open(os.path.join(SITE, name), "rb") as f:
            data = f.read()
        packed = len(gzip.compress(data, 9))
        rows.append(f"| {name} | {len(data):,} | {packed:,} |")
        total = [total[0] + len(data), total[1] + packed]
    print("| file | bytes | gzip -9 |\n|---|---|---|\n" + "\n".join(rows))
    print(f"| **site** | **{total[0]:,}** | **{total[1]:,}** |\n")


def main():
    sizes()
    site, floor = StaticHost(SITE), StaticHost(HERE)
    visits = {"floor": [], "cold": [], "warm": [], "offline": []}
    for run in range(RUNS):
        # Take turns, each going first in every other run.
        for which in (("floor", "site") if run % 2 == 0 else ("site", "floor")):
            if which == "floor":
                visits["floor"].append(floor_visit(floor))
            else:
                for kind, result in zip(("cold", "warm", "offline"), site_visits(site)):
                    visits[kind].append(result)
        print(f"run {run + 1}/{RUNS} done", file=sys.stderr)
    site.stop()
    floor.stop()

    median = lambda kind, key: statistics.median(v[key] for v in visits[kind])  # noqa: E731
    span = lambda kind, key: (min(v[key] for v in visits[kind]),  # noqa: E731
                              max(v[key] for v in visits[kind]))
    names = {"floor": "the floor (bench/web/floor.html), first visit",
             "cold": "Fuelix, first visit", "warm": "Fuelix, warm visit (service worker)",
             "offline": "Fuelix, offline visit"}
    print(f"Medians of {RUNS} visits each (range), under {PHONE['latency']} ms round trip, "
          f"{PHONE['downloadThroughput'] * 8 / 1e6:.1f} Mbit/s down, "
          f"{PHONE['uploadThroughput'] * 8 / 1e3:.0f} kbit/s up:\n")
    print("| page | first frame with the start rating | × floor | ready for input | × floor "
          "| requests over the network | bytes over the network |\n|---|---|---|---|---|---|---|")
    for kind, name in names.items():
        cells = []
        for key in ("paint", "ready"):
            low, high = span(kind, key)
            cells += [f"{median(kind, key):.0f} ms ({low:.0f}–{high:.0f})",
                      f"{median(kind, key) / median('floor', key):.2f}"]
        print(f"| {name} | " + " | ".join(cells) +
              f" | {median(kind, 'requests'):.0f} | {median(kind, 'bytes'):,.0f} |")


if __name__ == "__main__":
    main()
