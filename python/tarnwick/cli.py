"""Command line of tarnwick."""


def main(argv=None) -> int:
    raise SystemExit("tarnwick: no commands yet")
