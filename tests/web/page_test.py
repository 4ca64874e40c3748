#!/usr/bin/env python3
"""The web page in a headless chromium: every value of the EU council and
the 2020 Electoral College against the command line's CSV to the last
digit, the faults shown beside their fields, the coalition check against
its own sums over random coalitions, the quota slider, the sweep, and the
page opened from disk. Exits 77 (skipped) without chromium, its driver,
selenium or a built page. Prints the download size and the Electoral
College's time from click to table; --shots DIR saves screenshots."""
import argparse, csv, functools, http.server, io, os, random, re, subprocess, sys, tempfile, threading, time

ap = argparse.ArgumentParser()
ap.add_argument("--vkx", required=True)
ap.add_argument("--page", required=True, help="the folder of index.html (build-web)")
ap.add_argument("--examples", required=True)
ap.add_argument("--shots")
args = ap.parse_args()
index = os.path.join(args.page, "index.html")
try:
    from selenium import webdriver
    from selenium.webdriver.common.by import By
    from selenium.webdriver.chrome.service import Service
    from selenium.webdriver.support.ui import WebDriverWait
except ImportError:
    print("web page test skipped: python3-selenium is not installed"); sys.exit(77)
chromium = next((p for p in ("/usr/bin/chromium", "/usr/bin/chromium-browser") if os.path.exists(p)), None)
if not chromium or not os.path.exists("/usr/bin/chromedriver"):
    print("web page test skipped: chromium or chromium-driver is not installed"); sys.exit(77)
if not os.path.exists(index):
    print("web page test skipped: no page at %s (scripts/build-web.sh builds it)" % index); sys.exit(77)

failures = []
def check(ok, what):
    if not ok:
        failures.append(what); print("FAIL:", what)

def cli_rows(*argv):
    out = subprocess.run([args.vkx, "all", *argv, "--format", "csv"], capture_output=True, text=True, check=True).stdout
    return list(csv.reader(io.StringIO(out)))

def players(name):
    """(name, weight) of a data file's players, from its weight lines."""
    with open(os.path.join(args.examples, name + ".inp")) as f:
        return [(m.group(2), m.group(1)) for m in re.finditer(r"^(\d+)\s+(?:\{weight player \d+\}\s+)?\{(\w+)\}", f.read(), re.M)]

profile = tempfile.mkdtemp(prefix="vkx-chromium-")
opts = webdriver.ChromeOptions()
opts.binary_location = chromium
for a in ("--headless=new", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
          "--disable-background-networking", "--disable-component-update", "--disable-sync",
          "--disable-dev-shm-usage", "--user-data-dir=" + profile, "--window-size=1280,800"):
    opts.add_argument(a)
driver = webdriver.Chrome(service=Service(executable_path="/usr/bin/chromedriver"), options=opts)
handler = functools.partial(http.server.SimpleHTTPRequestHandler, directory=args.page)
handler.log_message = lambda *a: None
server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
threading.Thread(target=server.serve_forever, daemon=True).start()

def el(css): return driver.find_element(By.CSS_SELECTOR, css)
def state(): return driver.execute_script("return document.body.dataset.state")
def settle(timeout=60):
    WebDriverWait(driver, timeout, 0.01).until(lambda d: state() in ("done", "error", "ready"))
def fill(values):
    for field, text in values.items():
        driver.execute_script("arguments[0].value = arguments[1]", el(field), text)
def compute(values):
    settle(); fill(values)
    start = time.perf_counter(); el("#compute").click()
    WebDriverWait(driver, 60, 0.005).until(lambda d: state() in ("done", "error"))
    return time.perf_counter() - start
def table():
    return driver.execute_script("""const t = document.getElementById('results');
        if (!t.tHead.rows.length) return [];
        const keep = [...t.tHead.rows[0].cells].map((c) => !c.classList.contains('extra'));
        return [t.tHead.rows[0], ...t.tBodies[0].rows].map((r) => [...r.cells].filter((c, i) => keep[i]).map((c) => c.textContent));""")

def same_as_cli(what, values, *argv):
    shown, expected = table(), cli_rows(*argv)
    check(shown == expected, what + ": the table is the command line's CSV")
    if shown != expected:
        print("  state %s, error %r, status %r" % (state(), el("#error").text, el("#status").text))
        for a, b in zip(shown, expected):
            if a != b: print("  page:", a, "\n  cli: ", b); break

try:
    driver.get("http://127.0.0.1:%d/index.html" % server.server_address[1])
    ec = players("us-electoral-college-2020")
    ec_body = "\n".join("%s:%s" % p for p in ec)
    seconds = compute({"#weights": ec_body, "#quota": "270"})
    print("Electoral College: table %.3f s after the click (wall time); page: %s" % (seconds, el("#status").text))
    same_as_cli("Electoral College", None, os.path.join(args.examples, "us-electoral-college-2020"), "--winset", "270")
    check(el("#error").text == "" and el("#chart").tag_name == "svg", "the chart is shown and no error")

    # The coalition check against the sums of the weights: wins at 270,
    # critical are those without whom it falls below.
    rng = random.Random(29)
    for trial in range(12):
        chosen = rng.sample(range(len(ec)), rng.randint(1, 30))
        driver.execute_script("""const ticks = document.querySelectorAll('#coalition-players input');
            ticks.forEach((t, i) => { t.checked = arguments[0].includes(i); });
            ticks[0].dispatchEvent(new Event('change'));""", chosen)
        total = sum(int(ec[i][1]) for i in chosen)
        verdict = el("#coalition").text
        check(verdict.startswith("Wins" if total >= 270 else "Loses"), "coalition of weight %d: %s" % (total, verdict))
        check(("to spare" if total >= 270 else "misses it by %d" % (270 - total)) in verdict, "margin of %d" % total)
        if total >= 270:
            critical = sorted(ec[i][0] for i in chosen if total - int(ec[i][1]) < 270)
            shown = verdict.split("Critical: ")[1].strip()
            check(sorted(shown.split(", ")) == critical or (shown == "none" and not critical), "critical of %d" % total)
    fill({"#coalition-names": "CA, TX, fl"})
    driver.execute_script("""document.querySelectorAll('#coalition-players input').forEach((t) => { t.checked = false; });
        document.getElementById('coalition-names').dispatchEvent(new Event('input'))""")
    check("weight 124 " in el("#coalition").text, "coalition by typed names: " + el("#coalition").text)

    # The slider sets the quota and counts again.
    driver.execute_script("const s = document.getElementById('quota-slider'); s.value = 300; s.dispatchEvent(new Event('input'))")
    WebDriverWait(driver, 30, 0.01).until(lambda d: el("#quota").get_attribute("value") == "300")
    time.sleep(0.2); settle()
    same_as_cli("Electoral College at 300 by the slider", None, os.path.join(args.examples, "us-electoral-college-2020"), "--winset", "300")
    el("#sweep").click()
    WebDriverWait(driver, 60, 0.02).until(lambda d: d.find_elements(By.CSS_SELECTOR, "#sweep-chart"))
    check(el("#results").text != "", "the sweep keeps the table")

    # The EU council of 27 under its triple majority.
    eu = [players("eu27-" + s) for s in ("votes", "states", "pop")]
    compute({"#weights": "\n".join("%s:%s" % p for p in eu[0]), "#quota": "255",
             "#weights2": ",".join(w for _, w in eu[1]), "#quota2": "14",
             "#weights3": ",".join(w for _, w in eu[2]), "#quota3": "62%"})
    same_as_cli("EU council", None, *[x for s, q in (("votes", "255"), ("states", "14"), ("pop", "62%"))
                                      for x in ([] if s == "votes" else ["--system"]) + [os.path.join(args.examples, "eu27-" + s), "--winset", q]])
    if args.shots:
        driver.set_window_size(1280, 800); driver.save_screenshot(os.path.join(args.shots, "page-1280x800.png"))
        driver.set_window_size(390, 844); driver.save_screenshot(os.path.join(args.shots, "page-390x844.png"))
        driver.set_window_size(1280, 800)
    fill({"#weights2": "", "#quota2": "", "#weights3": "", "#quota3": ""})

    # Faults beside their fields, never an empty table or a zero.
    for body, quota, field in (("A:3\nB:1.5\nC:1", "3", "#weights"), ("A:3,B:2,C:1", "7", "#quota"),
                               ("", "3", "#weights"), ("A:3,B:2", "lots", "#quota")):
        compute({"#weights": body, "#quota": quota})
        check(state() == "error" and el("#error").text != "", "fault %r/%r is shown" % (body, quota))
        check("bad" in el(field).get_attribute("class"), "fault %r/%r marks %s" % (body, quota, field))
        check(len(table()) <= 1, "no table after the fault %r/%r" % (body, quota))
    compute({"#weights": "A:3,B:2,C:1", "#quota": "4"})
    check(el("#error").text == "" and len(table()) == 4, "a sound body after a fault clears the message")

    # The same body in every form it may be entered in, and a data file
    # opened: the same table as the command line's.
    seven = [("DE", 29), ("FR", 29), ("IT", 29), ("ES", 27), ("PL", 27), ("NL", 13), ("BE", 12)]
    forms = {"lines": "\n".join("%s:%d" % p for p in seven),
             "comma list": ", ".join("%s:%d" % p for p in seven),
             "spreadsheet rows": "state\tvotes\n" + "\n".join("%s\t%d" % p for p in seven),
             "csv rows": "\n".join("%s,%d" % p for p in seven)}
    for form, body in forms.items():
        compute({"#weights": body, "#quota": "62%"})
        same_as_cli("pasted as " + form, None, "--weights", ",".join("%s:%d" % p for p in seven), "--winset", "62%")
    compute({"#weights": "\n".join("%d" % w for _, w in seven), "#quota": "62%"})
    same_as_cli("weights alone", None, "--weights", ",".join("%d" % w for _, w in seven), "--winset", "62%")
    el("#quota").clear(); el("#quota").send_keys("270")
    el("#file").send_keys(os.path.abspath(os.path.join(args.examples, "us-electoral-college-2020.inp")))
    WebDriverWait(driver, 60, 0.02).until(lambda d: state() == "done" and len(table()) == 52)
    same_as_cli("the data file opened", None, os.path.join(args.examples, "us-electoral-college-2020"), "--winset", "270")

    # A game too large to count exactly: refused with the reason, then estimated.
    big = random.Random(1)
    compute({"#weights": ",".join(str(big.randint(10**5, 10**6)) for _ in range(200)), "#quota": "50%"})
    check(state() == "error" and el("#estimate").is_displayed() and "--estimate" in el("#error").text, "refused: " + el("#error").text)
    el("#estimate").click()
    WebDriverWait(driver, 120, 0.02).until(lambda d: state() in ("done", "error"))
    check("estimated" in el("#status").text and len(table()) == 201, "estimated: " + el("#status").text)
    # Cancel ends the worker; a fresh one counts the next request. The body
    # cancelled takes some 20 s of counting, so the click lands before its
    # end however loaded the machine is.
    slow = random.Random(7)
    fill({"#weights": ",".join(str(slow.randint(1, 3000)) for _ in range(400)), "#quota": "50%"})
    el("#compute").click(); el("#cancel").click()
    check(el("#status").text == "Stopped.", "cancelled: " + el("#status").text)
    compute({"#weights": ec_body, "#quota": "270"})
    same_as_cli("after a cancel", None, os.path.join(args.examples, "us-electoral-college-2020"), "--winset", "270")

    # From disk, as saved: the same page, the worker from the page itself.
    driver.get("file://" + os.path.abspath(index))
    compute({"#weights": "DE\t29\nFR\t29\nIT\t29\nES\t27\nPL\t27\nNL\t13\nBE\t12", "#quota": "62%"})
    same_as_cli("from disk", None, "--weights", "DE:29,FR:29,IT:29,ES:27,PL:27,NL:13,BE:12", "--winset", "62%")
    print("download: %d bytes (HTML, JavaScript and WebAssembly in one file)" % os.path.getsize(index))
finally:
    driver.quit()
    server.shutdown()
print("%d failure(s)" % len(failures))
sys.exit(1 if failures else 0)
