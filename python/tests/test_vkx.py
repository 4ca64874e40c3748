"""The installed package against the command line (VKX_BINARY) on the
example games: the same columns and numbers to the last digit, names in any
characters, the command line's messages for every error, a refused game,
Ctrl-C during a count, and the README's worked example."""

import csv
import doctest
import io
import os
import re
import signal
import subprocess
import sys
import textwrap
import time

import numpy
import pandas
import pytest

import vkx

ROOT = os.environ["VKX_SOURCE_DIR"]
BINARY = os.environ["VKX_BINARY"]
EXAMPLES = os.path.join(ROOT, "examples")


def example(name):
    return os.path.join(EXAMPLES, name)


def cli(*args):
    run = subprocess.run([BINARY, *args], capture_output=True, text=True)
    return run.returncode, run.stdout, run.stderr.split("\n")[0]


def cli_table(*args):
    status, out, err = cli(*args, "--format", "csv", "--totals")
    assert status == 0, err
    return list(csv.reader(io.StringIO(out)))


def same(value, text):
    """A value of the package and the CSV's field for it: the same number to
    the last digit, the same text, or nothing for an empty field."""
    if value is None:
        return text == ""
    if isinstance(value, str):
        return value == text
    return float(text) == value and repr(float(value)) == repr(float(text))


CASES = [
    ("eu27-votes all", lambda: (vkx.load(example("eu27-votes")), 255, "all", {}),
     ["all", example("eu27-votes"), "--winset", "255"]),
    ("electoral college", lambda: (vkx.load(example("us-electoral-college-2020")), 270, "all", {}),
     ["all", example("us-electoral-college-2020"), "--winset", "270"]),
    ("chambers", lambda: (vkx.load(example("congress")), [51, 218], "shapley,banzhaf", {}),
     ["shapley,banzhaf", example("congress"), "--winset", "51,218"]),
    ("triple majority",
     lambda: (vkx.load(example("eu27-votes")), 255, ["shapley", "banzhaf"],
              {"systems": [(vkx.load(example("eu27-states")), 14),
                           (vkx.load(example("eu27-pop")), "62%")]}),
     ["shapley,banzhaf", example("eu27-votes"), "--winset", "255", "--system",
      example("eu27-states"), "--winset", "14", "--system", example("eu27-pop"), "--winset",
      "62%"]),
    ("sweep", lambda: (vkx.load(example("eu27-votes")), "50%:80%:5%", "banzhaf", {}),
     ["banzhaf", example("eu27-votes"), "--winset", "50%:80%:5%"]),
    ("typed, or-rule",
     lambda: ({"DE": 29, "FR": 29, "IT": 29, "ES": 27, "PL": 27, "NL": 13, "BE": 12}, "62%",
              "all", {"systems": [([1] * 7, 4)], "overall": 5, "rule": "or"}),
     ["all", "--weights", "DE:29,FR:29,IT:29,ES:27,PL:27,NL:13,BE:12", "--winset", "62%",
      "--system-weights", "1,1,1,1,1,1,1", "--winset", "4", "--overall", "5", "--overall-rule",
      "or"]),
]


@pytest.mark.parametrize("name,call,args", CASES, ids=[c[0] for c in CASES])
def test_power_is_the_command_lines_csv_to_the_last_digit(name, call, args):
    weights, quota, indices, options = call()
    frame = vkx.power(weights, quota, indices, totals=True, **options)
    table = cli_table(*args)
    assert list(frame.columns) == table[0]
    assert len(frame) == len(table) - 1
    for row, line in zip(frame.itertuples(index=False), table[1:]):
        for value, text in zip(row, line):
            assert same(None if pandas.isna(value) else value, text), (row, line)


def test_the_simple_functions_give_the_columns_of_their_index():
    eu = vkx.load(example("eu27-votes"))
    table = cli_table("all", example("eu27-votes"), "--winset", "255")
    at = {c: i for i, c in enumerate(table[0])}
    rows = table[1:-1]
    for got, column in [
        (vkx.shapley(eu, 255), "SS"),
        (vkx.banzhaf(eu, 255), "NBZ"),
        (vkx.banzhaf(eu, 255, absolute=True), "NNBZ"),
        (vkx.publicgood(eu, 255), "PGI"),
        (vkx.deegan_packel(eu, 255), "DPI"),
        ({k: v[0] for k, v in vkx.coleman(eu, 255).items()}, "PREVENT"),
        ({k: v[1] for k, v in vkx.coleman(eu, 255).items()}, "INITIATE"),
    ]:
        assert list(got) == [r[at["name"]] for r in rows]
        for name, row in zip(got, rows):
            assert same(got[name], row[at[column]]), column


def test_weights_of_every_kind_give_results_of_their_shape():
    expected = [0.6, 0.2, 0.2]
    for weights in ([3, 2, 1], (3, 2, 1), numpy.array([3, 2, 1]), numpy.array([3.0, 2.0, 1.0]),
                    [numpy.int64(3), 2, 1]):
        assert vkx.banzhaf(weights, 4) == expected
    keyed = {"A": 0.6, "B": 0.2, "C": 0.2}
    assert vkx.banzhaf({"A": 3, "B": 2, "C": 1}, 4) == keyed
    assert vkx.banzhaf(pandas.Series([3, 2, 1], index=["A", "B", "C"]), 4) == keyed
    # Keys keep their type and order; the quota may be a share or a numpy int.
    assert list(vkx.banzhaf({7: 1, 3: 2, 5: 3}, numpy.int32(4))) == [7, 3, 5]
    assert vkx.banzhaf([3, 2, 1], "majority") == vkx.banzhaf([3, 2, 1], 4)
    assert list(vkx.power([3, 2, 1], 4, "banzhaf")["name"]) == ["", "", ""]
    # Several subgames: one threshold each.
    assert len(vkx.shapley([[5, 3, 2], [1, 1]], [6, 2])) == 5
    # A range: quota -> results.
    sweep = vkx.banzhaf([3, 2, 1], "4:6")
    assert list(sweep) == [4, 5, 6] and sweep[4] == expected


def test_power_without_pandas_is_a_dict_of_columns(monkeypatch):
    monkeypatch.setitem(sys.modules, "pandas", None)
    columns = vkx.power({"A": 3, "B": 2, "C": 1}, 4, "banzhaf")
    assert columns == {
        "subgame": [1, 1, 1], "player": [1, 2, 3], "name": ["A", "B", "C"],
        "weight": [3, 2, 1], "NNBZ": [0.75, 0.25, 0.25], "NBZ": [0.6, 0.2, 0.2],
        "banzhaf_method": ["weight_table"] * 3}


def test_names_of_any_characters_come_back_as_given():
    names = ["Baden, Württemberg", "a:b", "{x}", 'say "hi"', "日本"]
    got = vkx.banzhaf(dict(zip(names, [4, 3, 2, 1, 1])), 6)
    assert list(got) == names
    frame = vkx.power(vkx.Game([4, 3, 2, 1, 1], names=names), 6, "banzhaf")
    assert list(frame["name"]) == names
    eu = vkx.load(example("eu27-votes"))
    assert eu.names[:3] == ["DE", "FR", "UK"] and eu.weights[0][:3] == [29, 29, 29]


ERRORS = [
    ("a weight of 1.5", lambda: vkx.banzhaf([3, 1.5, 1], 4), ValueError,
     ["banzhaf", "--weights", "3,1.5,1", "--winset", "4"]),
    ("a weight of no number", lambda: vkx.banzhaf({"A": "x"}, 1), ValueError,
     ["banzhaf", "--weights", "A:x", "--winset", "1"]),
    ("a quota above the total", lambda: vkx.banzhaf([3, 2, 1], 7), ValueError,
     ["banzhaf", "--weights", "3,2,1", "--winset", "7"]),
    ("a quota of 4.5", lambda: vkx.banzhaf([3, 2, 1], 4.5), ValueError,
     ["banzhaf", "--weights", "3,2,1", "--winset", "4.5"]),
    ("names and weights of different lengths",
     lambda: vkx.banzhaf(vkx.Game([3, 2, 1], names=["A", "B"]), 4), ValueError, None),
    ("an index of no name", lambda: vkx.power([3, 2, 1], 4, "banzhaf,power"), ValueError,
     ["banzhaf,power", "--weights", "3,2,1", "--winset", "4"]),
    ("a standard error of 2", lambda: vkx.banzhaf([3, 2, 1], 4, estimate=2), ValueError,
     ["banzhaf", "--weights", "3,2,1", "--winset", "4", "--estimate", "2"]),
    ("a memory of no size", lambda: vkx.banzhaf([3, 2, 1], 4, memory="lots"), ValueError,
     ["banzhaf", "--weights", "3,2,1", "--winset", "4", "--memory", "lots"]),
    ("a data file not there", lambda: vkx.load("no/such/game"), OSError,
     ["banzhaf", "no/such/game", "--winset", "4"]),
    ("a walk beyond the time",
     lambda: vkx.shapley([-1] + [1] * 39, 20, memory="1M"), vkx.Refused,
     ["shapley", "--weights", ",".join(["-1"] + ["1"] * 39), "--winset", "20", "--memory",
      "1M"]),
]


@pytest.mark.parametrize("name,call,kind,args", ERRORS, ids=[e[0] for e in ERRORS])
def test_errors_carry_the_command_lines_messages(name, call, kind, args):
    with pytest.raises(kind) as caught:
        call()
    if args:
        status, _, message = cli(*args)
        assert status == (3 if kind in (OSError, vkx.Refused) else 2)
        assert str(caught.value) == message
    if kind is vkx.Refused:
        assert isinstance(caught.value, RuntimeError)
        assert re.search(r"about \d+ hours", str(caught.value))
        planned = vkx.plan([-1] + [1] * 39, 20, "shapley", memory="1M")
        assert planned["refused"] and planned["reason"] == str(caught.value)


# A count of about ten seconds (planned) that reports its progress from its
# first second on and stops when asked.
LONG = "[r.randint(1, 2000) for r in [random.Random(1)] for _ in range(6000)]"


def test_progress_is_heard_and_its_exception_stops_the_count():
    import random  # noqa: F401 (LONG)

    def fail(fraction, seconds, method):
        assert 0 <= fraction < 1 and seconds > 0.5 and method == "doubles_table"
        raise ZeroDivisionError("from progress")

    with pytest.raises(ZeroDivisionError):
        vkx.banzhaf(eval(LONG), "50%", progress=fail)


def test_ctrl_c_stops_a_count_and_raises_keyboard_interrupt():
    # Ctrl-C after the first report of progress ends the count at once.
    script = textwrap.dedent("""
        import random, sys, vkx
        weights = LONG
        def heard(fraction, seconds, method):
            if fraction < 1:
                print("counting", flush=True)
        try:
            vkx.banzhaf(weights, "50%", progress=heard)
        except KeyboardInterrupt:
            print("interrupted", flush=True)
    """).replace("LONG", LONG)
    child = subprocess.Popen([sys.executable, "-c", script], stdout=subprocess.PIPE, text=True)
    assert child.stdout.readline().strip() == "counting"
    sent = time.monotonic()
    child.send_signal(signal.SIGINT)
    out, _ = child.communicate(timeout=60)
    waited = time.monotonic() - sent
    assert "interrupted" in out and child.returncode == 0
    print("Ctrl-C to the end of the count: %.2f s" % waited)


def test_docstrings_examples_and_help():
    cwd = os.getcwd()
    os.chdir(ROOT)  # the examples read examples/...
    try:
        result = doctest.testmod(vkx, optionflags=doctest.NORMALIZE_WHITESPACE,
                                 extraglobs={"vkx": vkx})
    finally:
        os.chdir(cwd)
    assert result.failed == 0 and result.attempted >= 10
    for f in (vkx.shapley, vkx.banzhaf, vkx.publicgood, vkx.deegan_packel, vkx.coleman,
              vkx.power, vkx.plan, vkx.load, vkx.chambers, vkx.Game):
        assert ">>> " in f.__doc__, f
    assert vkx.__version__ != "unknown"


def test_the_readmes_example_runs(tmp_path):
    with open(os.path.join(ROOT, "README.md"), encoding="utf-8") as f:
        readme = f.read()
    blocks = re.findall(r"```python\n(.*?)```", readme, re.S)
    assert blocks, "no Python example in the README"
    os.symlink(EXAMPLES, tmp_path / "examples")
    script = tmp_path / "example.py"
    script.write_text("\n".join(blocks))
    run = subprocess.run([sys.executable, str(script)], cwd=tmp_path, capture_output=True,
                         text=True, env=dict(os.environ, MPLBACKEND="Agg"))
    assert run.returncode == 0, run.stderr
    pictures = list(tmp_path.glob("*.png"))
    assert pictures and all(p.stat().st_size > 1000 for p in pictures)
