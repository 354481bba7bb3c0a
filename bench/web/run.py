"""The page's weight and start: bytes per file of build/web/site (raw and gzip -9), and the time
from navigation start to data-ready in headless Chromium, median of N runs, cold (a fresh
profile: nothing cached, the browser started and idle) and warm (a reload served by the
service worker).

    /usr/bin/python3 bench/web/run.py [SITE_DIR] [RUNS]
"""
import gzip, os, statistics, sys, time

sys.argv[1:1] = [] if len(sys.argv) > 1 else ["build/web/site"]
SITE, RUNS = sys.argv[1], int(sys.argv[2]) if len(sys.argv) > 2 else 10
sys.argv[2:] = ["."]  # the test module's SOURCE argument, unused here
sys.path.insert(0, os.path.join(os.path.dirname(__file__), "../../tests/web"))
import test_page  # the same server and browser settings as the tests

READY = ("return new Promise(r => { const m = () => { const e = performance.getEntriesByName("
         "'fuelix-ready')[0]; e ? r(e.startTime) : setTimeout(m, 5); }; m(); })")

rows, total = [], [0, 0]
for name in sorted(os.listdir(SITE)):
    data = open(os.path.join(SITE, name), "rb").read()
    packed = len(gzip.compress(data, 9))
    rows.append(f"| {name} | {len(data):,} | {packed:,} |")
    total = [total[0] + len(data), total[1] + packed]
print("| file | bytes | gzip -9 |\n|---|---|---|\n" + "\n".join(rows))
print(f"| **site** | **{total[0]:,}** | **{total[1]:,}** |\n")

site = test_page.Site()
cold, warm = [], []
for _ in range(RUNS):
    d = test_page.chromium()
    d.get("about:blank")
    time.sleep(2)  # a browser already running, as a visitor's is, not one still starting
    d.get(site.url)
    cold.append(d.execute_script(READY))
    d.execute_script("return navigator.serviceWorker.ready")
    for _ in range(50):
        if d.execute_script("return !!navigator.serviceWorker.controller"):
            break
        d.get(site.url)
    d.get(site.url)
    warm.append(d.execute_script(READY))
    d.quit()
for label, times in (("cold", cold), ("warm", warm)):
    print(f"data-ready {label}: median {statistics.median(times):.1f} ms "
          f"(range {min(times):.1f}-{max(times):.1f}) over {len(times)} runs")
site.stop()
