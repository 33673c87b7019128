#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later

# The browser version in Debian's headless Chromium, driven through the DevTools protocol: the
# served folder (site/) on 127.0.0.1, with the page driver (pagedriver.cpp) beside luvana.html.
#   - luvana.html?dictat= fetches the dictation named and its clips from the same site;
#   - the driver's window, opened the same way, puts every control where the desktop build
#     puts it at the same size, a play click makes Web Audio sound (an analyser the check puts
#     before the page's output), and after the same clicks the grade and the final message are
#     the desktop's (the driver run as a desktop program, offscreen);
#   - the new-attempt button's file picker, given a dictation's files named in other letter
#     cases, opens it, and its clips play.
#
#   check-page.py <chromium> <site folder> <driver folder> <desktop driver>
import asyncio
import functools
import http.server
import json
import os
import re
import subprocess
import sys
import tempfile
import threading
import urllib.request

import websockets

# Every node the page connects to its output goes through one analyser per audio context,
# whose loudest sample the check reads as window.luvanaPeak.
TAP = r"""
window.luvanaPeak = 0;
const connect = AudioNode.prototype.connect;
const taps = new Map();
AudioNode.prototype.connect = function (target, ...rest) {
  if (!(target instanceof AudioDestinationNode))
    return connect.call(this, target, ...rest);
  if (!taps.has(target)) {
    const tap = target.context.createAnalyser();
    connect.call(tap, target);
    taps.set(target, tap);
    const samples = new Float32Array(tap.fftSize);
    setInterval(() => {
      tap.getFloatTimeDomainData(samples);
      for (const s of samples) window.luvanaPeak = Math.max(window.luvanaPeak, Math.abs(s));
    }, 10);
  }
  return connect.call(this, taps.get(target), ...rest);
};
"""
# jardi: seven items and a picture. Each item once, then item 2 fourteen times more: 21 plays,
# five beyond what keeps a 10.
CLICKS = [f"wav{item}" for item in range(1, 8)] + ["wav2"] * 14
PULSE_FIXTURE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "pulse-fixture.sh")


class Page:
    def __init__(self, socket):
        self.socket, self.calls, self.state, self.chooser = socket, {}, None, None
        self.sent = 0

    async def read(self):
        async for text in self.socket:
            message = json.loads(text)
            if "id" in message:
                self.calls.pop(message["id"]).set_result(message)
            elif message["method"] == "Runtime.consoleAPICalled":
                line = str(message["params"]["args"][0].get("value", ""))
                if line.startswith("LUVANA "):
                    self.state = json.loads(line[7:])
            elif message["method"] == "Page.fileChooserOpened":
                self.chooser = message["params"]

    async def call(self, method, **params):
        self.sent += 1
        key = self.sent
        self.calls[key] = asyncio.get_running_loop().create_future()
        await self.socket.send(json.dumps({"id": key, "method": method, "params": params}))
        reply = await asyncio.wait_for(self.calls[key], 30)
        if "error" in reply:
            raise RuntimeError(f"{method}: {reply['error']}")
        return reply.get("result", {})

    async def open(self, url):
        self.state = None
        await self.call("Page.navigate", url=url)

    async def until(self, what, test, seconds=60):
        for _ in range(seconds * 10):
            if test():
                return
            await asyncio.sleep(0.1)
        sys.exit(f"FAIL: {what}; the window showed {json.dumps(self.state)}")

    async def sounds(self, what):
        await self.call("Runtime.evaluate", expression="window.luvanaPeak = 0")
        await self.click(what)
        for _ in range(100):
            reply = await self.call("Runtime.evaluate", expression="window.luvanaPeak")
            if reply["result"]["value"] > 0.01:
                return
            await asyncio.sleep(0.1)
        sys.exit(f"FAIL: a click on {what} made no sound at the page's output")

    async def click(self, name):
        x, y, width, height = map(int, self.state["controls"][name]["rect"].split())
        x += self.state["x"] + width // 2
        y += self.state["y"] + height // 2
        for kind in ("mousePressed", "mouseReleased"):
            await self.call("Input.dispatchMouseEvent", type=kind, x=x, y=y, button="left",
                            clickCount=1)

    def shown(self, name):
        return self.state is not None and self.state["controls"][name]["shown"]


def serve(folder, requested):
    class Handler(http.server.SimpleHTTPRequestHandler):
        def log_message(self, *args):
            requested.append(self.path)

    server = http.server.ThreadingHTTPServer(
        ("127.0.0.1", 0), functools.partial(Handler, directory=folder))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return f"http://127.0.0.1:{server.server_address[1]}"


def desktop_run(driver, dictation, width, height, work):
    # A screen whose maximized window is the page's size: Qt's offscreen platform frames it
    # with two pixels on every side.
    width, height = width + 4, height + 4
    screens = {"screens": [{"name": "page", "x": 0, "y": 0, "width": width, "height": height,
                            "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]}
    config = os.path.join(work, "offscreen.json")
    with open(config, "w") as file:
        json.dump(screens, file)
    # A play counts only where it can be heard: the desktop plays at a sound server of its own.
    pulse = os.path.join(work, "pulse")
    subprocess.run(["sh", PULSE_FIXTURE, "start", pulse], check=True)
    if os.path.exists(os.path.join(pulse, "unavailable")):
        sys.exit("FAIL: no sound server for the desktop's side")
    environment = dict(os.environ, QT_QPA_PLATFORM=f"offscreen:configfile={config}",
                       PULSE_SERVER=f"unix:{pulse}/runtime/native",
                       XDG_RUNTIME_DIR=f"{pulse}/runtime")
    try:
        output = subprocess.run([driver, dictation] + CLICKS, env=environment, check=True,
                                capture_output=True, text=True, timeout=120).stdout
    finally:
        subprocess.run(["sh", PULSE_FIXTURE, "stop", pulse])
    return json.loads(re.findall(r"^LUVANA (.*)$", output, re.M)[-1])


async def check(chromium, site, drivers, desktop_driver, work):
    www = os.path.join(work, "www")
    os.mkdir(www)
    for folder, names in ((site, os.listdir(site)), (drivers, ["luvana_pagedriver.html",
                          "luvana_pagedriver.js", "luvana_pagedriver.wasm"])):
        for name in names:
            os.symlink(os.path.join(folder, name), os.path.join(www, name))
    requested = []
    origin = serve(www, requested)
    browser = subprocess.Popen(
        [chromium, "--headless", "--no-sandbox", "--remote-debugging-port=0",
         f"--user-data-dir={work}/profile", "--window-size=1280,800",
         "--autoplay-policy=no-user-gesture-required", "about:blank"],
        stderr=subprocess.PIPE, text=True)
    try:
        for line in browser.stderr:
            if found := re.search(r"ws://127\.0\.0\.1:(\d+)/", line):
                break
        with urllib.request.urlopen(f"http://127.0.0.1:{found[1]}/json/list") as reply:
            target = next(t for t in json.load(reply) if t["type"] == "page")
        async with websockets.connect(target["webSocketDebuggerUrl"], max_size=None) as socket:
            page = Page(socket)
            reader = asyncio.create_task(page.read())
            for domain in ("Page", "Runtime", "DOM"):
                await page.call(f"{domain}.enable")
            await page.call("Page.addScriptToEvaluateOnNewDocument", source=TAP)
            await page.call("Page.setInterceptFileChooserDialog", enabled=True)

            # The program itself fetches what the address names.
            await page.open(f"{origin}/luvana.html?dictat=dictats/tardor.dtd")
            await page.until("luvana.html fetches tardor's clips",
                             lambda: "/dictats/tardor-10.wav" in requested)

            await page.open(f"{origin}/luvana_pagedriver.html?dictat=dictats/jardi.dtd")
            await page.until("?dictat= opens jardi", lambda: page.shown("wav7")
                             and not page.shown("wav8") and not page.shown("Text1"))
            opened = page.state
            await page.sounds(CLICKS[0])
            for name in CLICKS[1:]:
                await asyncio.sleep(0.3)
                await page.click(name)
            await asyncio.sleep(2)
            played = page.state

            desktop = desktop_run(desktop_driver, os.path.join(site, "dictats", "jardi.dtd"),
                                  opened["width"], opened["height"], work)
            for name, control in desktop["controls"].items():
                if control["rect"] != opened["controls"][name]["rect"]:
                    sys.exit(f"FAIL: {name} at {opened['controls'][name]['rect']} in the "
                             f"browser's {opened['width']}x{opened['height']} window, at "
                             f"{control['rect']} in the desktop's "
                             f"{desktop['width']}x{desktop['height']}")
            differing = [f"{name}: {played['controls'][name]} in the browser, {control} on the "
                         "desktop" for name, control in desktop["controls"].items()
                         if played["controls"][name] != control]
            if differing:
                sys.exit("FAIL: after the clicks " + "; ".join(differing))
            if not played["controls"]["Picture3"]["shown"]:
                sys.exit("FAIL: no final message after every item was played")

            # The file picker, given the files as a pupil's device may name them.
            await page.open(f"{origin}/luvana_pagedriver.html")
            await page.until("the window shows", lambda: page.shown("Command1"))
            await page.click("Command1")
            await page.until("the picker opens", lambda: page.chooser is not None, 10)
            chosen = []
            for name in sorted(os.listdir(os.path.join(site, "dictats"))):
                if name.startswith("tardor"):
                    renamed = os.path.join(work, name.upper() if name.endswith(".wav")
                                           else name.capitalize())
                    os.symlink(os.path.join(site, "dictats", name), renamed)
                    chosen.append(renamed)
            await page.call("DOM.setFileInputFiles", files=chosen,
                            backendNodeId=page.chooser["backendNodeId"])
            await page.until("the chosen files open tardor", lambda: page.shown("wav10")
                             and page.state["controls"]["titol"]["text"] != "")
            await page.sounds("wav3")
            reader.cancel()
    finally:
        browser.terminate()
        browser.wait()
    print(f"PASS: {len(opened['controls'])} controls where the desktop puts them, "
          f"grade {played['controls']['Label2']['text']!r} as on the desktop")


if __name__ == "__main__":
    with tempfile.TemporaryDirectory() as work:
        asyncio.run(check(*sys.argv[1:5], work))
