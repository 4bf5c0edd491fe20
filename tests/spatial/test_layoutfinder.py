"""SpatialStrategy answers absent for every valid call and checks argument kinds."""

import pytest
from spatial_support import element

from tarnwick.engine.strategies.layoutfinder import SpatialStrategy


@pytest.mark.parametrize(
    "args",
    [
        ({}, {}, []),
        ({"action": "click", "target": "button below Cart", "value": None, "_literal_target": False},
         {"rows": [1, 2]}, [element("button", "Cart"), element("button", "Buy", 0, 40)]),
        ({}, {}, ()),
    ],
)
def test_resolve_is_absent(args):
    assert SpatialStrategy().resolve(*args) is None


@pytest.mark.parametrize(
    "args, message",
    [
        ((None, {}, []), "parsed_instruction must be a dict, not NoneType"),
        (([], {}, []), "parsed_instruction must be a dict, not list"),
        (({}, [], []), "matrix must be a dict, not list"),
        (({}, None, []), "matrix must be a dict, not NoneType"),
        (({}, {}, None), "dom_candidates must be a list, not NoneType"),
        (({}, {}, "abc"), "dom_candidates must be a list, not str"),
        (({}, {}, {}), "dom_candidates must be a list, not dict"),
    ],
)
def test_wrong_kinds_raise_type_error_naming_the_argument(args, message):
    with pytest.raises(TypeError) as err:
        SpatialStrategy().resolve(*args)
    assert str(err.value) == message


def test_keyword_arguments_and_documentation():
    assert SpatialStrategy().resolve(parsed_instruction={}, matrix={}, dom_candidates=[]) is None
    assert SpatialStrategy.__doc__ == "Resolves instructions using spatial relationships between DOM elements."
