#!/usr/bin/python3
"""The real fuelix as a screen reader sees it: names, typing, a slider moved through the
accessibility interface, Reset pressed through its action, results read back from the tree."""

import desktop_session as ds
from desktop_session import TestFailure, wait_for

INPUTS = {  # accessible name: (role, initial text or value)
    "Tank octane rating": ("text", "91"),
    "Tank capacity": ("text", "16.4"),
    "Pump octane rating": ("text", "100"),
    "Tank fill level": ("slider", 50),
    "Pump share of free space": ("slider", 100),
}
RESULTS = ("Volume in tank", "Free space", "Volume from pump", "Final octane rating")
BUTTONS = ("Reset", "About Fuelix", "Quit")
PICTURE = "Toggle panel look (raised or sunken)"
START_RESULTS = ("8.2", "8.2", "8.2", "95.5")


def number_text(x):
    """The display form of a result, for the plain-notation values used here."""
    text = "%.15G" % x
    return text.rstrip("0").rstrip(".") if "." in text else text


class Window:
    def __init__(self, acc):
        self.acc = acc

    def input(self, name):
        return self.acc.find(INPUTS[name][0], name=name)

    def results(self):
        return tuple(self.acc.find("label", description=d).get_name() for d in RESULTS)

    def wait_results(self, expected, what):
        try:
            wait_for(what, lambda: self.results() == tuple(expected), timeout=5)
        except TestFailure:
            raise TestFailure("%s: results %r, expected %r" % (what, self.results(), expected))

    def box_text(self, name):
        return self.acc.text(self.input(name))

    def slider_value(self, name):
        return round(self.input(name).get_value_iface().get_current_value())


def check_names(acc):
    """Every control is found by role and name; the inputs' names are distinct and tied to
    their labels; the results keep their text as name and say what they show."""
    for name, (role, initial) in INPUTS.items():
        node = acc.find(role, name=name)
        if role == "text" and acc.text(node) != initial:
            raise TestFailure("%r holds %r, not %r" % (name, acc.text(node), initial))
        if role == "slider" and round(node.get_value_iface().get_current_value()) != initial:
            raise TestFailure("%r stands at %r" % (name, node.get_value_iface().get_current_value()))
    for name, label in (("Tank octane rating", "Octane Rating:"),
                        ("Pump octane rating", "Octane Rating:"),
                        ("Tank capacity", "Tank Capacity:")):
        labels = acc.relation_targets(acc.find("text", name=name),
                                      acc.Atspi.RelationType.LABELLED_BY)
        if [n.get_name() for n in labels] != [label]:
            raise TestFailure("%r is labelled by %r, not %r"
                              % (name, [n.get_name() for n in labels], label))
        # The two "Octane Rating:" labels must each be tied to their own box.
        back = acc.relation_targets(labels[0], acc.Atspi.RelationType.LABEL_FOR)
        if [n.get_name() for n in back] != [name]:
            raise TestFailure("the label of %r is the label for %r"
                              % (name, [n.get_name() for n in back]))
    window = Window(acc)
    if window.results() != START_RESULTS:
        raise TestFailure("start-up results %r" % (window.results(),))
    for name in BUTTONS:
        acc.find("push button", name=name)
    picture = [n for n in acc.nodes() if n.get_name() == PICTURE]
    if len(picture) != 1:
        raise TestFailure("no single object named %r" % PICTURE)
    if acc.frame.get_name() != "Fuelix":
        raise TestFailure("the window is named %r" % acc.frame.get_name())
    if acc.frame.get_role_name() not in ("window", "frame"):
        raise TestFailure("the window's role is %r" % acc.frame.get_role_name())
    print("names: %d inputs, %d results, %d buttons and the picture (role %s) found"
          % (len(INPUTS), len(RESULTS), len(BUTTONS), acc.role(picture[0])))


def type_into(acc, name, keys):
    """Clicks into the box at its screen position, selects all and sends real key events."""
    node = acc.find("text", name=name)
    acc.click(node)
    wait_for("the focus in %r" % name,
             lambda: node.get_state_set().contains(acc.Atspi.StateType.FOCUSED), timeout=5)
    acc.desktop.xdotool("key", "--clearmodifiers", "ctrl+a", *keys)


def check_typing(acc):
    """Typed keys reach the boxes, are tidied and recompute the results."""
    window = Window(acc)
    type_into(acc, "Tank capacity", ["2", "0"])
    wait_for("'20' in the capacity box", lambda: window.box_text("Tank capacity") == "20", 5)
    window.wait_results(("10", "10", "10", "95.5"), "capacity 20")

    # A minus sign typed in front of a rating is tidied away at once, and editing goes on.
    type_into(acc, "Tank octane rating", ["End", "BackSpace", "Home", "minus"])
    wait_for("'9' without the minus", lambda: window.box_text("Tank octane rating") == "9", 5)
    window.wait_results(("10", "10", "10", "54.5"), "tank rating 9")
    type_into(acc, "Tank octane rating", ["9", "1"])
    # A text that is no number shows as invalid input.
    type_into(acc, "Pump octane rating", ["x"])
    window.wait_results(("???", "???", "???", "???"), "pump rating 'x'")
    type_into(acc, "Pump octane rating", ["9", "8"])
    window.wait_results(("10", "10", "10", "94.5"), "pump rating 98")
    print("typing: capacity, rating and invalid input recomputed the results")


def check_sliders(acc):
    """A value set through the accessibility interface counts as the user moving the slider."""
    window = Window(acc)
    acc.find("slider", name="Tank fill level").get_value_iface().set_current_value(75)
    window.wait_results(("15", "5", "5", number_text(0.75 * 91 + 0.25 * 98)), "tank slider at 75")
    acc.find("slider", name="Pump share of free space").get_value_iface().set_current_value(50)
    tank, pump = 15.0, 2.5
    final = tank / (pump + tank) * 91 + pump / (pump + tank) * 98
    window.wait_results(("15", "5", "2.5", number_text(final)), "pump slider at 50")
    if (window.slider_value("Tank fill level"), window.slider_value("Pump share of free space")) \
            != (75, 50):
        raise TestFailure("the sliders do not read back 75 and 50")
    print("sliders: both moved through the Value interface, results followed")


def check_reset(acc):
    """Reset pressed through its action restores every input and result (the button acts after
    its animated click, so the test waits for the effect)."""
    window = Window(acc)
    acc.press(acc.find("push button", name="Reset"))
    window.wait_results(START_RESULTS, "Reset")
    texts = tuple(window.box_text(n) for n in ("Tank octane rating", "Tank capacity",
                                               "Pump octane rating"))
    values = (window.slider_value("Tank fill level"), window.slider_value("Pump share of free space"))
    if texts != ("91", "16.4", "100") or values != (50, 100):
        raise TestFailure("after Reset the inputs are %r and %r" % (texts, values))
    box = acc.find("text", name="Tank octane rating")
    wait_for("the focus back in the tank rating box",
             lambda: box.get_state_set().contains(acc.Atspi.StateType.FOCUSED), timeout=5)
    print("reset: inputs, sliders and results restored, focus in the tank rating box")


def test(binary):
    with ds.Desktop() as desktop:
        program = desktop.start_program(binary)
        acc = ds.Accessible(desktop)
        check_names(acc)
        check_typing(acc)
        check_sliders(acc)
        check_reset(acc)
        if program.poll() is not None:
            raise TestFailure("fuelix ended during the test (status %s)" % program.returncode)


if __name__ == "__main__":
    raise SystemExit(ds.run(test))
