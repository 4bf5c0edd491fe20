"""Helpers for the harness tests: pytester runs with a stand-in agent."""

import textwrap

import pytest


# A conftest for pytester runs: replaces the real WebAgent with a stand-in
# that records how it was built and can be told to fail, so the plug-in's
# behaviour is checked without a browser.
STUB_AGENT_CONFTEST = textwrap.dedent(
    '''
    import os
    import pytest
    import tarnwick.harness.fixtures as fixtures

    class StubAgent:
        built = []

        def __init__(self, **kwargs):
            if os.environ.get("STUB_AGENT_FAIL") == "init":
                raise RuntimeError("agent could not start")
            self.kwargs = kwargs
            self._steps = []
            self.closed = 0
            StubAgent.built.append(self)

        def close(self):
            self.closed += 1
            if os.environ.get("STUB_AGENT_FAIL") == "close":
                raise RuntimeError("agent could not close")

    @pytest.fixture(autouse=True)
    def _stub_agent(monkeypatch):
        monkeypatch.setattr(fixtures, "WebAgent", StubAgent)
    '''
)


@pytest.fixture
def stub_pytester(pytester):
    pytester.makeconftest(STUB_AGENT_CONFTEST)
    return pytester


class Node:
    """One element of a parsed report."""

    def __init__(self, tag, attrs, parent=None):
        self.tag, self.attrs, self.parent = tag, dict(attrs), parent
        self.children = []  # Nodes and str texts, in document order

    @property
    def classes(self):
        return self.attrs.get("class", "").split()

    @property
    def elements(self):
        return [c for c in self.children if isinstance(c, Node)]

    @property
    def text(self):
        return "".join(c if isinstance(c, str) else c.text for c in self.children)

    def iter(self):
        for c in self.elements:
            yield c
            yield from c.iter()

    def find_all(self, tag=None, cls=None, **attrs):
        return [
            n
            for n in self.iter()
            if (tag is None or n.tag == tag)
            and (cls is None or cls in n.classes)
            and all(n.attrs.get(k.replace("_", "-")) == v for k, v in attrs.items())
        ]

    def find(self, tag=None, cls=None, **attrs):
        found = self.find_all(tag, cls, **attrs)
        assert found, f"no <{tag} class={cls} {attrs}> in <{self.tag}>"
        return found[0]


VOID = {"meta", "col", "img", "br", "input", "link", "hr"}


def parse_report(html_text):
    """Parses a report into a Node tree; asserts that every element closes
    where it opened (a stray quote or bracket in a value would break that)."""
    from html.parser import HTMLParser

    class Builder(HTMLParser):
        def __init__(self):
            super().__init__(convert_charrefs=True)
            self.root = Node("#document", {})
            self.current = self.root
            self.doctype = None

        def handle_decl(self, decl):
            self.doctype = decl

        def handle_starttag(self, tag, attrs):
            node = Node(tag, attrs, self.current)
            self.current.children.append(node)
            if tag not in VOID:
                self.current = node

        def handle_startendtag(self, tag, attrs):
            self.current.children.append(Node(tag, attrs, self.current))

        def handle_endtag(self, tag):
            assert self.current.tag == tag, f"</{tag}> closes <{self.current.tag}>"
            self.current = self.current.parent

        def handle_data(self, data):
            self.current.children.append(data)

    b = Builder()
    b.feed(html_text)
    b.close()
    assert b.current is b.root, "unclosed elements"
    return b.doctype, b.root


@pytest.fixture
def report_parser():
    return parse_report
