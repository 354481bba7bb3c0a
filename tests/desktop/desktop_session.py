"""A private desktop for end-to-end tests of the real fuelix binary.

Starts a virtual X server, a session bus of its own and the accessibility bus, then the program
with Qt's accessibility bridge switched on, and finds controls the way a screen reader does:
by role and accessible name, through AT-SPI.
"""

import os
import random
import shutil
import subprocess
import sys
import tempfile
import time
import warnings

# PyGObject flags some of libatspi's accessor names as deprecated; they are the documented ones.
warnings.filterwarnings("ignore", category=DeprecationWarning)

SKIP = 77  # CTest's SKIP_RETURN_CODE for these tests

AT_SPI_BUS_LAUNCHER = "/usr/libexec/at-spi-bus-launcher"


class TestFailure(Exception):
    pass


def require_tools():
    """Exit with SKIP when a tool of the headless stack is missing from this machine."""
    missing = [tool for tool in ("Xvfb", "dbus-daemon", "xdotool") if shutil.which(tool) is None]
    if not os.access(AT_SPI_BUS_LAUNCHER, os.X_OK):
        missing.append(AT_SPI_BUS_LAUNCHER)
    try:
        import gi

        gi.require_version("Atspi", "2.0")
        from gi.repository import Atspi  # noqa: F401
    except (ImportError, ValueError):
        missing.append("gi.repository.Atspi (python3-gi, gir1.2-atspi-2.0)")
    if missing:
        print("skipped: missing " + ", ".join(missing))
        sys.exit(SKIP)


def wait_for(what, probe, timeout=10.0, interval=0.05):
    """Polls probe() until it returns something true; fails naming what was awaited."""
    deadline = time.monotonic() + timeout
    while True:
        value = probe()
        if value:
            return value
        if time.monotonic() > deadline:
            raise TestFailure("timed out waiting for " + what)
        time.sleep(interval)


class Desktop:
    """Xvfb + session bus + accessibility bus, torn down in reverse order on exit."""

    def __init__(self, extra_env=None):
        self.extra_env = extra_env or {}
        self.processes = []
        self.program = None

    def __enter__(self):
        self.tmp = tempfile.mkdtemp(prefix="fuelix-desktop-")
        try:
            return self._set_up()
        except BaseException:
            self.__exit__(None, None, None)
            raise

    def _set_up(self):
        runtime = os.path.join(self.tmp, "runtime")
        os.mkdir(runtime, 0o700)
        env = dict(os.environ)
        for name in ("DBUS_SESSION_BUS_ADDRESS", "AT_SPI_BUS_ADDRESS", "WAYLAND_DISPLAY"):
            env.pop(name, None)
        env["XDG_RUNTIME_DIR"] = runtime
        env["HOME"] = self.tmp

        env["DISPLAY"] = ":%d" % self._start_x_server(env)

        bus = self._start(["dbus-daemon", "--session", "--nofork", "--print-address=1"], env,
                          stdout=subprocess.PIPE, text=True)
        address = bus.stdout.readline().strip()
        if not address:
            raise TestFailure("dbus-daemon did not start")
        env["DBUS_SESSION_BUS_ADDRESS"] = address

        self._start([AT_SPI_BUS_LAUNCHER, "--launch-immediately"], env)
        self.env = env
        wait_for("the accessibility bus", self._a11y_bus_up)

        # The AT-SPI client library reads these when it first connects.
        os.environ.update({k: env[k] for k in ("DISPLAY", "DBUS_SESSION_BUS_ADDRESS",
                                               "XDG_RUNTIME_DIR")})
        return self

    def _start_x_server(self, env):
        # A random display number, not the lowest free one that the other suites' X servers
        # race for when CTest runs them side by side.
        for _ in range(20):
            number = random.randint(100, 30000)
            if os.path.exists("/tmp/.X%d-lock" % number):
                continue
            read_fd, write_fd = os.pipe()
            server = self._start(["Xvfb", ":%d" % number, "-displayfd", str(write_fd), "-screen",
                                  "0", "1280x1024x24", "-nolisten", "tcp",
                                  # No reset when the last client leaves (the bus launcher
                                  # is one): a reset refuses the program's connection.
                                  "-noreset"], env,
                                 pass_fds=(write_fd,))
            os.close(write_fd)
            with os.fdopen(read_fd) as pipe:
                ready = pipe.readline().strip()  # written once the server accepts clients
            if ready == str(number):
                return number
            server.wait()
        raise TestFailure("Xvfb did not start")

    def _a11y_bus_up(self):
        # Asks whether our launcher owns the name; calling it would start a second one.
        result = subprocess.run(
            ["dbus-send", "--session", "--print-reply", "--dest=org.freedesktop.DBus",
             "/org/freedesktop/DBus", "org.freedesktop.DBus.NameHasOwner", "string:org.a11y.Bus"],
            env=self.env, capture_output=True, text=True)
        return result.returncode == 0 and "boolean true" in result.stdout

    def _start(self, argv, env, **kwargs):
        kwargs.setdefault("stdout", subprocess.DEVNULL)
        log = open(os.path.join(self.tmp, os.path.basename(argv[0]) + ".log"), "a")
        process = subprocess.Popen(argv, env=env, stderr=log, **kwargs)
        log.close()
        self.processes.append(process)
        return process

    def start_program(self, binary):
        env = dict(self.env)
        env.update({"QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1", "QT_QPA_PLATFORM": "xcb"})
        env.update(self.extra_env)
        self.log = open(os.path.join(self.tmp, "fuelix.log"), "w+")
        self.program = subprocess.Popen([binary], env=env, stdout=self.log, stderr=self.log)
        return self.program

    def program_output(self):
        self.log.flush()
        self.log.seek(0)
        return self.log.read()

    def xdotool(self, *args):
        subprocess.run(["xdotool", *args], env=self.env, check=True, capture_output=True)

    def diagnostics(self):
        lines = []
        if self.program is not None:
            lines.append("fuelix: %s; its output:\n%s" % (
                "running" if self.program.poll() is None else "ended with %s" % self.program.returncode,
                self.program_output()))
        for process in self.processes:
            name = os.path.basename(process.args[0])
            lines.append("%s: %s" % (name, "running" if process.poll() is None else
                                     "ended with %s" % process.returncode))
            log = os.path.join(self.tmp, name + ".log")
            if os.path.exists(log) and os.path.getsize(log):
                with open(log) as text:
                    lines.append(text.read()[-2000:])
        return "\n".join(lines)

    def __exit__(self, exc_type, exc, traceback):
        if exc_type is TestFailure:
            print(self.diagnostics())
        if self.program and self.program.poll() is None:
            self.program.kill()
            self.program.wait()
        for process in reversed(self.processes):
            if process.poll() is None:
                process.terminate()
                try:
                    process.wait(timeout=5)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait()
        shutil.rmtree(self.tmp, ignore_errors=True)
        return False


class Accessible:
    """The program as a screen reader sees it: its AT-SPI tree and the actions on it."""

    def __init__(self, desktop, app_name="Fuelix", timeout=10.0):
        import gi

        gi.require_version("Atspi", "2.0")
        from gi.repository import Atspi

        self.Atspi = Atspi
        self.desktop = desktop
        self._nodes = None
        try:
            self.app = wait_for("the application '%s' on the accessibility bus" % app_name,
                                lambda: self._find_app(app_name), timeout)
        except TestFailure as failure:
            raise TestFailure("%s; applications there: %r" % (failure, self._app_names()))
        self.frame = wait_for("the program's window", lambda: self._first_child(self.app),
                              timeout)

    def _find_app(self, name):
        root = self.Atspi.get_desktop(0)
        for i in range(root.get_child_count()):
            child = root.get_child_at_index(i)
            if child is not None and child.get_name() == name:
                return child
        return None

    def _app_names(self):
        root = self.Atspi.get_desktop(0)
        children = [root.get_child_at_index(i) for i in range(root.get_child_count())]
        return [child.get_name() for child in children if child is not None]

    def _first_child(self, node):
        return node.get_child_at_index(0) if node.get_child_count() > 0 else None

    def nodes(self):
        """Every accessible object of the window, depth first. The window never adds or removes
        a control, so the tree is walked once."""
        if self._nodes is None:
            self._nodes = self._walk()
        return self._nodes

    def _walk(self):
        found, stack = [], [self.frame]
        while stack:
            node = stack.pop()
            found.append(node)
            for i in reversed(range(node.get_child_count())):
                child = node.get_child_at_index(i)
                if child is not None:
                    stack.append(child)
        return found

    def role(self, node):
        return node.get_role_name()

    def find(self, role, name=None, description=None):
        """The one object of this role with this name (or description); fails unless exactly one."""
        matches = [n for n in self.nodes() if self.role(n) == role and
                   (name is None or n.get_name() == name) and
                   (description is None or n.get_description() == description)]
        if len(matches) != 1:
            raise TestFailure("%d objects with role %r, name %r, description %r; the tree:\n%s"
                              % (len(matches), role, name, description, self.dump()))
        return matches[0]

    def dump(self):
        return "\n".join("  %s %r %r" % (self.role(n), n.get_name(), n.get_description())
                         for n in self.nodes())

    def text(self, node):
        iface = node.get_text_iface()
        return iface.get_text(0, iface.get_character_count())

    def screen_centre(self, node):
        extents = node.get_component_iface().get_extents(self.Atspi.CoordType.SCREEN)
        return extents.x + extents.width // 2, extents.y + extents.height // 2

    def click(self, node):
        x, y = self.screen_centre(node)
        # No --sync: it waits for a motion event, which never comes when the pointer is there.
        self.desktop.xdotool("mousemove", str(x), str(y), "click", "1")

    def press(self, node, action="Press"):
        iface = node.get_action_iface()
        names = [iface.get_action_name(i) for i in range(iface.get_n_actions())]
        if action not in names:
            raise TestFailure("no action %r on %r, only %r" % (action, node.get_name(), names))
        iface.do_action(names.index(action))

    def relation_targets(self, node, relation_type):
        targets = []
        for relation in node.get_relation_set():
            if relation.get_relation_type() == relation_type:
                targets += [relation.get_target(i) for i in range(relation.get_n_targets())]
        return targets


def run(test, skip_unless_tools=True):
    """Runs test(binary) for the binary named on the command line; exit 0, 1 or SKIP."""
    if len(sys.argv) != 2:
        print("usage: %s PATH_TO_FUELIX" % sys.argv[0])
        return 2
    if skip_unless_tools:
        require_tools()
    try:
        test(sys.argv[1])
    except TestFailure as failure:
        print("FAIL: %s" % failure)
        return 1
    print("PASS")
    return 0
