"""vkx: a-priori voting power of weighted and composite voting bodies.

The calculation of the vkx program as a library: the Shapley-Shubik index,
the Banzhaf index, the public good index (Holler), the Deegan-Packel index
and Coleman's indices, counted exactly by the program's planner (or sampled
on request), with the command line's columns, numbers and messages.

FUNCTIONS
    shapley(weights, quota)        Shapley-Shubik index of each player
    banzhaf(weights, quota)        Banzhaf index (absolute=True: the raw measure)
    publicgood(weights, quota)     public good index (Holler)
    deegan_packel(weights, quota)  Deegan-Packel index
    coleman(weights, quota)        Coleman's power to prevent and to initiate
    power(weights, quota, ...)     every column of the command line's CSV
    plan(weights, quota, ...)      how the count would go, without counting
    load(path)                     a data file's game, with its names
    chambers(sizes)                unweighted chambers of these sizes

WEIGHTS
    A sequence of whole numbers (list, tuple, numpy array) gives results in
    player order; a mapping name -> weight (dict, pandas Series) gives a dict
    name -> result in the same order. A sequence of such sequences is a game
    of several subgames (chambers), and a Game (load, chambers, Game(...))
    stands for any game.

QUOTA
    A whole number, a share of the total ("62%", "62.5%", "majority": more
    than half), or a range "50%:80%:1%" / "240:290:10", counted quota by
    quota (the simple functions then give a dict quota -> results). With
    several subgames: one threshold per subgame (a list), or a list of such
    lists for several win sets.

ERRORS
    ValueError   wrong input, with the command line's message
    OSError      a data file that cannot be read
    vkx.Refused  (a RuntimeError) a game too large for the memory or the
                 time, the message naming both and the way out
    KeyboardInterrupt  Ctrl-C during a count (the count is stopped first)

EXAMPLE
    >>> import vkx
    >>> vkx.banzhaf({'A': 3, 'B': 2, 'C': 1}, 4)
    {'A': 0.6, 'B': 0.2, 'C': 0.2}
"""

import json as _json
import numbers as _numbers

from . import _vkx
from ._vkx import Refused

try:
    from importlib.metadata import PackageNotFoundError as _Missing
    from importlib.metadata import version as _version

    __version__ = _version("vkx")
except (ImportError, _Missing):  # run from the sources
    __version__ = "unknown"

__all__ = [
    "Game",
    "Refused",
    "banzhaf",
    "chambers",
    "coleman",
    "deegan_packel",
    "load",
    "plan",
    "power",
    "publicgood",
    "shapley",
]


def _text(value, what):
    """A number as the command line reads it: whole numbers (int, numpy
    integers, floats of whole value) in digits, anything else as it prints,
    for the command line's check to refuse with its own message."""
    if isinstance(value, bool):
        return str(value)
    if isinstance(value, _numbers.Integral):
        return str(int(value))
    if isinstance(value, _numbers.Real) and float(value).is_integer():
        return str(int(value))
    if isinstance(value, str):
        return value
    if what == "quota" and isinstance(value, _numbers.Real):
        return repr(float(value))
    return str(value)


def _is_mapping(weights):
    return hasattr(weights, "keys") and hasattr(weights, "items") and not isinstance(weights, str)


def _is_sequence(value):
    if isinstance(value, (str, bytes)):
        return False
    if getattr(value, "ndim", 1) == 0:
        return False
    try:
        iter(value)
    except TypeError:
        return False
    return True


class Game:
    """A game to pass in place of weights: weighted subgames with optional
    player names, unweighted chambers, or a data file (see load).

    Game(weights, names=None)
        weights: a sequence of whole numbers, a mapping name -> weight, or a
        sequence of those for several subgames; names: the players' names
        in order over the subgames (any text), in place of the mapping's.
    Game(members=[100, 435])
        unweighted chambers of these sizes (see chambers).

    Attributes: names (list, or None), weights (list of each subgame's
    weights), members (chamber sizes), file (the data file read, if any).

    Example:
        >>> vkx.shapley(vkx.Game([3, 2, 1], names=['A', 'B', 'C']), 4)
        {'A': 0.6666666666666666, 'B': 0.16666666666666666, 'C': 0.16666666666666666}
    """

    def __init__(self, weights=None, names=None, *, members=None):
        self._core = _vkx.Game()
        self._keys = None
        if members is not None:
            self._core.members = [_text(m, "members") for m in members]
        if weights is not None:
            subgames = weights
            if _is_mapping(weights) or not any(
                _is_sequence(w) or _is_mapping(w) for w in _values(weights)
            ):
                subgames = [weights]
            keys, lists = [], []
            for subgame in subgames:
                if _is_mapping(subgame):
                    pairs = list(subgame.items())
                    keys.extend(k for k, _ in pairs)
                    lists.append([_text(w, "weight") for _, w in pairs])
                elif _is_sequence(subgame):
                    lists.append([_text(w, "weight") for w in subgame])
                else:
                    raise TypeError(
                        "weights: a sequence of whole numbers, a mapping name -> weight, or "
                        "a sequence of those for several subgames"
                    )
            self._core.weights = lists
            if keys:
                self._keys = keys
                self._core.names = [str(k) for k in keys]
        if names is not None:
            self._keys = list(names)
            self._core.names = [str(n) for n in names]

    @classmethod
    def _of(cls, core):
        game = cls.__new__(cls)
        game._core = core
        names = list(core.names)
        unique = names and all(names) and len(set(names)) == len(names)
        game._keys = names if unique else None
        return game

    @property
    def names(self):
        return list(self._core.names) or None

    @property
    def weights(self):
        return [[_number(w) for w in s] for s in self._core.weights]

    @property
    def members(self):
        return [_number(m) for m in self._core.members]

    @property
    def file(self):
        return self._core.file or None

    def __repr__(self):
        if self._core.members:
            return "vkx.Game(members=%r)" % (self.members,)
        weights = self.weights
        shown = weights[0] if len(weights) == 1 else weights
        if self.names:
            return "vkx.Game(%r, names=%r)" % (shown, self.names)
        return "vkx.Game(%r)" % (shown,)


def _values(weights):
    if _is_mapping(weights):
        return [w for _, w in weights.items()]
    return list(weights) if _is_sequence(weights) else [weights]


def _number(text):
    try:
        return int(text)
    except ValueError:
        return text


def load(path):
    """The game of a data file, read now.

    PATH is a data file of the program, with or without .inp (as on the
    command line); the players' names come from the comments of the weight
    lines ("29 {DE}"). The game goes wherever weights go; with names for
    every player the results are dicts name -> value.

    Raises OSError when the file cannot be read, ValueError when it is not
    a game ("FILE:LINE: reason").

    Example:
        >>> eu = vkx.load("examples/eu27-votes")
        >>> vkx.shapley(eu, 255)["DE"]
        0.08673774806329658
    """
    return Game._of(_vkx.load(str(path)))


def chambers(sizes):
    """A game of unweighted chambers of these member counts.

    Every member of a chamber has one vote; a win set has a threshold per
    chamber, and the results have one row per chamber (the value of each of
    its members).

    Example:
        >>> [round(v, 6) for v in vkx.shapley(vkx.chambers([100, 435]), [51, 218])]
        [0.005359, 0.001067]
    """
    return Game(members=sizes)


def _game(weights):
    return weights if isinstance(weights, Game) else Game(weights)


def _winsets(quota):
    """The win sets of QUOTA: a threshold, a list of one per subgame, or a
    list of such lists."""
    if not _is_sequence(quota):
        return [[_text(quota, "quota")]]
    quota = list(quota)
    if quota and all(_is_sequence(q) for q in quota):
        return [[_text(t, "quota") for t in q] for q in quota]
    return [[_text(t, "quota") for t in quota]]


def _request(weights, quota, systems, rule, overall, unit, blocking):
    game = _game(weights)
    core = game._core
    r = _vkx.Rule()
    r.winsets = _winsets(quota)
    if systems:
        further, sets = [], []
        for system in systems:
            try:
                w, q = system
            except (TypeError, ValueError):
                raise TypeError("systems: a list of (weights, quota) pairs") from None
            further.append(_game(w)._core)
            sets.append(_winsets(q))
        # A copy of the game with the further systems, the caller's unchanged.
        copy = _vkx.Game()
        for field in ("weights", "names", "members", "file", "text"):
            setattr(copy, field, getattr(core, field))
        copy.systems = further
        core = copy
        r.systems = sets
    r.combine = rule
    r.unit = unit
    if overall is not None:
        r.overall = _text(overall, "overall")
    if blocking is not None:
        r.blocking = _text(blocking, "blocking")
    return game, core, r


def _options(estimate, memory):
    est = 0.0 if estimate is None else float(estimate)
    mem = "" if memory is None else _text(memory, "memory")
    return est, mem


def _indices(indices):
    if isinstance(indices, str):
        return [i.strip() for i in indices.split(",")]
    return list(indices)


def _run(weights, quota, indices, systems=None, rule="and", estimate=None, memory=None,
         overall=None, unit="members", blocking=None, exhaustive=False, progress=None):
    game, core, r = _request(weights, quota, systems, rule, overall, unit, blocking)
    est, mem = _options(estimate, memory)
    result = _vkx.run(core, r, _indices(indices), est, mem, bool(exhaustive), progress)
    return game, result


def _shaped(game, result, pick):
    """Each player's value PICK(row) in the shape of the weights: a list in
    player order, or a dict name -> value; a range of quotas gives a dict
    quota -> those."""
    columns = result.columns
    at = {c: i for i, c in enumerate(columns)}
    rows = result.rows

    def shape(rows):
        values = [pick(row, at) for row in rows]
        if game._keys is not None and len(game._keys) == len(values):
            return dict(zip(game._keys, values))
        return values

    if not result.sweep:
        return shape(rows)
    by = {}
    for row in rows:
        by.setdefault(row[at["quota"]], []).append(row)
    return {q: shape(rs) for q, rs in by.items()}


_OPTIONS_DOC = """
    Options (every function):
        systems      further vote systems (multiple weights), a list of
                     (weights, quota) of the same players: every system's
                     win set must be met
        rule         "and" | "or": with systems, how the overall threshold
                     joins the win sets
        overall      an overall threshold (a least number of members; with
                     unit="votes" of first-system votes)
        unit         "members" | "votes"
        blocking     with systems: a coalition loses when those outside it
                     hold more than this in the second system
        estimate     sample until every value's standard error is below it
                     (e.g. 0.001) instead of counting exactly
        memory       the memory the count may take: bytes or "4G", "512M"
        exhaustive   True: count exactly however long it takes
        progress     progress(fraction, seconds, method), called during a
                     long count

    Raises ValueError for wrong input and OSError for a data file that
    cannot be read, with the command line's message; vkx.Refused for a game
    too large for the memory or the time, naming both and the way out;
    KeyboardInterrupt on Ctrl-C, once the count has stopped."""


def shapley(weights, quota, **options):
    return _one("shapley", "SS", weights, quota, options)


def banzhaf(weights, quota, absolute=False, **options):
    return _one("banzhaf", "NNBZ" if absolute else "NBZ", weights, quota, options)


def publicgood(weights, quota, **options):
    return _one("publicgood", "PGI", weights, quota, options)


def deegan_packel(weights, quota, **options):
    return _one("publicgood", "DPI", weights, quota, options)


def coleman(weights, quota, **options):
    game, result = _run(weights, quota, ["coleman"], **options)
    return _shaped(game, result, lambda row, at: (row[at["PREVENT"]], row[at["INITIATE"]]))


def _one(index, column, weights, quota, options):
    game, result = _run(weights, quota, [index], **options)
    return _shaped(game, result, lambda row, at: row[at[column]])


def _index_doc(about, example, returns=None):
    """The docstring of an index function: what it measures, the arguments
    and options every index function takes, what it returns, an example."""
    return (about + "\n\n" + """    weights  whole numbers (list, tuple, numpy array) or name -> weight
             (dict, pandas Series), or a Game
    quota    a whole number, "62%", "majority", or a range "50%:80%:1%"
""" + _OPTIONS_DOC + "\n\n" + (returns or """    Returns the index per player: a list in player order, or a dict name ->
    value for a mapping (for a range: a dict quota -> those).
""") + "\n    Example:\n" + example)


shapley.__doc__ = _index_doc(
    """The Shapley-Shubik index of each player.

    The share of the n! orders of the players in which the player turns a
    losing coalition into a winning one. The values add up to 1.""",
    """        >>> vkx.shapley({'A': 3, 'B': 2, 'C': 1}, 4)
        {'A': 0.6666666666666666, 'B': 0.16666666666666666, 'C': 0.16666666666666666}
""")

banzhaf.__doc__ = _index_doc(
    """The Banzhaf index of each player.

    The number of coalitions in which the player's vote is decisive (it wins
    with the player and loses without), normalised to add up to 1; with
    absolute=True the raw Penrose-Banzhaf measure (that number divided by
    2^(n-1)).""",
    """        >>> vkx.banzhaf({'A': 3, 'B': 2, 'C': 1}, 4)
        {'A': 0.6, 'B': 0.2, 'C': 0.2}
        >>> vkx.banzhaf([3, 2, 1], 4, absolute=True)
        [0.75, 0.25, 0.25]
""")

publicgood.__doc__ = _index_doc(
    """The public good index (Holler) of each player.

    The share of the player's memberships among all minimal winning
    coalitions (those that lose when any member leaves). The values add up
    to 1.""",
    """        >>> vkx.publicgood({'A': 3, 'B': 2, 'C': 1}, 4)
        {'A': 0.5, 'B': 0.25, 'C': 0.25}
""")

deegan_packel.__doc__ = _index_doc(
    """The Deegan-Packel index of each player.

    Every minimal winning coalition is equally likely and shares its power
    equally among its members. The values add up to 1.""",
    """        >>> vkx.deegan_packel([3, 2, 1], 4)
        [0.5, 0.25, 0.25]
""")

coleman.__doc__ = _index_doc(
    """Coleman's indices of each player: (prevent, initiate).

    The power to prevent action (the share of the winning coalitions the
    player's leaving turns into losing ones) and the power to initiate it
    (the share of the losing coalitions the player's joining turns into
    winning ones).""",
    """        >>> vkx.coleman({'A': 3, 'B': 2, 'C': 1}, 4)
        {'A': (1.0, 0.6), 'B': (0.3333333333333333, 0.2), 'C': (0.3333333333333333, 0.2)}
""",
    """    Returns (prevent, initiate) per player: a list in player order, or a
    dict name -> pair for a mapping (for a range: a dict quota -> those).
""")

def power(weights, quota, indices="all", systems=None, rule="and", estimate=None, memory=None,
          *, overall=None, unit="members", blocking=None, exhaustive=False, progress=None,
          totals=False):
    result = _run(weights, quota, indices, systems, rule, estimate, memory, overall, unit,
                  blocking, exhaustive, progress)[1]
    rows = result.table(bool(totals))
    try:
        import pandas
    except ImportError:
        return {c: [row[i] for row in rows] for i, c in enumerate(result.columns)}
    return pandas.DataFrame(rows, columns=result.columns)


power.__doc__ = """Every index asked for as the command line's CSV table.

    One row per player (per chamber for unweighted chambers) with the
    columns of the command line's CSV (vkx all ... --format csv): quota (for
    a share or a range), subgame, player, name, weight, then each index's
    columns and the method that counted it:

        shapley     SS (Shapley-Shubik), II (inclusiveness), winsets
        banzhaf     NNBZ (absolute), NBZ (normalised)
        publicgood  PGI (public good), MBP, DPI (Deegan-Packel)
        coleman     PREVENT, INITIATE

    A title that two indices share gets the index's name in front
    ("banzhaf_NBZ"). The numbers are those of the command line to the last
    digit. With estimate, each value has its standard error beside it
    (SS_error, ...). totals=True adds the "sum of all" row.

    indices  "all", a name, a comma list "shapley,banzhaf" or a list
{OPTIONS}

    Returns a pandas DataFrame when pandas is installed, else a dict
    column -> list of values.

    Example:
        >>> vkx.power({'A': 3, 'B': 2, 'C': 1}, 4, "banzhaf")
           subgame  player name  weight  NNBZ  NBZ banzhaf_method
        0        1       1    A       3  0.75  0.6   weight_table
        1        1       2    B       2  0.25  0.2   weight_table
        2        1       3    C       1  0.25  0.2   weight_table
""".replace("{OPTIONS}", _OPTIONS_DOC)


def plan(weights, quota, indices="all", systems=None, rule="and", estimate=None, memory=None,
         *, overall=None, unit="members", blocking=None, exhaustive=False):
    """The plan of a count, without counting.

    How the count of power(...) with the same arguments would go, without
    counting (the command line's --plan): per count the method planned, its
    passes, bytes and seconds, the methods that would follow it, and every
    candidate weighed with why it was not taken; the totals against the
    memory budget and the time limit, and whether the run is refused (with
    the reason) rather than raising vkx.Refused.

    Example:
        >>> p = vkx.plan([3, 2, 1], 4, "banzhaf")
        >>> p["steps"][0]["method"], p["refused"]
        ('weight_table', False)
    """
    game, core, r = _request(weights, quota, systems, rule, overall, unit, blocking)
    est, mem = _options(estimate, memory)
    p = _vkx.plan(core, r, _indices(indices), est, mem, bool(exhaustive))
    out = _json.loads(p.json)
    out.setdefault("reason", p.reason)
    return out
