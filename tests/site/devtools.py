"""A small client of the browser's DevTools protocol over a pipe.

Chromium started with --remote-debugging-pipe reads commands from its file
descriptor 3 and writes replies and events to descriptor 4, each message
JSON ending in a NUL byte; no WebSocket and no library is needed.
"""
import json
import os
import select
import subprocess
import time


class BrowserError(Exception):
    pass


class Browser:
    def __init__(self, binary, width=1280, height=900):
        to_browser_read, self._to_browser = os.pipe()
        self._from_browser, from_browser_write = os.pipe()

        def wire_pipes():
            # Through high numbers first: a pipe may already sit at 3 or 4,
            # and dup2 onto itself would leave it closed on exec.
            high_read = os.dup(to_browser_read)
            high_write = os.dup(from_browser_write)
            os.dup2(high_read, 300)
            os.dup2(high_write, 301)
            os.dup2(300, 3)
            os.dup2(301, 4)

        self.user_dir = f"/tmp/ramulet-browser-{os.getpid()}"
        args = [binary, "--headless=new", "--remote-debugging-pipe", "--no-sandbox", "--disable-gpu",
                "--no-first-run", "--no-default-browser-check", "--disable-extensions",
                "--allow-file-access-from-files", f"--user-data-dir={self.user_dir}",
                f"--window-size={width},{height}", "about:blank"]
        self.process = subprocess.Popen(args, close_fds=False, preexec_fn=wire_pipes,
                                        stdout=subprocess.DEVNULL, stderr=open(self.user_dir + ".log", "wb"))
        os.close(to_browser_read)
        os.close(from_browser_write)
        self._buffer = b""
        self._next_id = 0
        self.events = []
        self.session = None

    def close(self):
        try:
            self.call("Browser.close", session=False, timeout=5)
        except Exception:
            pass
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()
        subprocess.run(["rm", "-rf", self.user_dir], check=False)

    def _send(self, message):
        data = json.dumps(message).encode() + b"\0"
        while data:
            written = os.write(self._to_browser, data)
            data = data[written:]

    def _read_message(self, deadline):
        while b"\0" not in self._buffer:
            left = deadline - time.monotonic()
            if left <= 0:
                raise BrowserError("the browser did not answer in time")
            ready, _, _ = select.select([self._from_browser], [], [], left)
            if ready:
                chunk = os.read(self._from_browser, 1 << 20)
                if not chunk:
                    raise BrowserError("the browser closed its pipe (did it crash?)")
                self._buffer += chunk
        message, self._buffer = self._buffer.split(b"\0", 1)
        return json.loads(message)

    def call(self, method, params=None, session=True, timeout=30):
        self._next_id += 1
        message = {"id": self._next_id, "method": method, "params": params or {}}
        if session and self.session:
            message["sessionId"] = self.session
        self._send(message)
        deadline = time.monotonic() + timeout
        while True:
            reply = self._read_message(deadline)
            if reply.get("id") == self._next_id:
                if "error" in reply:
                    raise BrowserError(f"{method}: {reply['error']}")
                return reply.get("result", {})
            self.events.append(reply)

    def wait_event(self, method, timeout=30, since=0):
        deadline = time.monotonic() + timeout
        while True:
            for event in self.events[since:]:
                if event.get("method") == method:
                    return event
            since = len(self.events)
            self.events.append(self._read_message(deadline))

    def open_page(self):
        target = self.call("Target.createTarget", {"url": "about:blank"}, session=False)
        attached = self.call("Target.attachToTarget", {"targetId": target["targetId"], "flatten": True}, session=False)
        self.session = attached["sessionId"]
        for domain in ("Page", "Runtime", "Log", "Network"):
            self.call(f"{domain}.enable")

    def navigate(self, url, timeout=60):
        mark = len(self.events)
        self.call("Page.navigate", {"url": url})
        self.wait_event("Page.loadEventFired", timeout, since=mark)

    def evaluate(self, expression, timeout=30):
        result = self.call("Runtime.evaluate", {"expression": expression, "returnByValue": True,
                                                "awaitPromise": True}, timeout=timeout)
        if "exceptionDetails" in result:
            raise BrowserError(f"script failed: {result['exceptionDetails']}")
        return result["result"].get("value")

    def click(self, selector_expression, at_left=False):
        """Clicks the element the expression finds, as a mouse would: in its
        middle, or near its left edge (where a disclosure marker is)."""
        box = self.evaluate(f"""(() => {{ const e = {selector_expression}; if (!e) return null;
            e.scrollIntoView({{block: 'center'}}); const r = e.getBoundingClientRect();
            return [{'r.left + 5' if at_left else 'r.left + r.width / 2'}, r.top + r.height / 2]; }})()""")
        if box is None:
            raise BrowserError(f"nothing to click: {selector_expression}")
        for kind in ("mousePressed", "mouseReleased"):
            self.call("Input.dispatchMouseEvent", {"type": kind, "x": box[0], "y": box[1], "button": "left",
                                                   "clickCount": 1})

    def type_text(self, text):
        self.call("Input.insertText", {"text": text})

    def screenshot(self, path):
        import base64
        data = self.call("Page.captureScreenshot", {"format": "png"})["data"]
        with open(path, "wb") as out:
            out.write(base64.b64decode(data))

    def problems(self):
        """Console errors, uncaught exceptions and failed loads seen so far."""
        found = []
        for event in self.events:
            method, params = event.get("method"), event.get("params", {})
            if method == "Runtime.exceptionThrown":
                found.append(f"exception: {params['exceptionDetails'].get('text')} "
                             f"{params['exceptionDetails'].get('exception', {}).get('description', '')}")
            elif method == "Runtime.consoleAPICalled" and params.get("type") in ("error", "assert"):
                found.append(f"console.{params['type']}: {params.get('args')}")
            elif method == "Log.entryAdded" and params["entry"].get("level") == "error":
                found.append(f"log: {params['entry'].get('text')} {params['entry'].get('url', '')}")
            elif method == "Network.loadingFailed" and not params.get("canceled"):
                found.append(f"failed load: {params.get('errorText')} {params.get('requestId')}")
        return found
