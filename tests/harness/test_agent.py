"""WebAgent on the run's shared Chromium, alone and through the plug-in."""

import base64
import textwrap

import pytest

from tarnwick import WebAgent

pytest_plugins = ["pytester"]


def test_agent_opens_page_and_closes_its_context(browser, tmp_path):
    page_file = tmp_path / "app.html"
    page_file.write_text("<title>Demo app</title><h1>Welcome</h1>")
    contexts = len(browser.contexts)
    agent = WebAgent(url=page_file.as_uri(), screenshots=True)
    try:
        assert agent.page.title() == "Demo app"
        assert agent._steps == []
        assert len(browser.contexts) == contexts + 1
    finally:
        agent.close()
    assert agent.page.is_closed()
    assert len(browser.contexts) == contexts
    agent.close()  # a second close is harmless
    assert agent._steps == []


def test_agent_without_url_stays_blank(browser):
    agent = WebAgent()
    try:
        assert agent.page.url == "about:blank"
    finally:
        agent.close()


def test_agent_failures(browser):
    contexts = len(browser.contexts)
    with pytest.raises(TypeError, match="url"):
        WebAgent(url=b"http://example.test/")
    with pytest.raises(Exception, match="net::ERR_"):
        WebAgent(url="http://127.0.0.1:9/")
    assert len(browser.contexts) == contexts  # the failed agent's context is closed


def test_end_to_end_run_with_chromium(pytester, browser):
    (pytester.path / "app.html").write_text(
        "<title>Shop</title><button>Login</button>", encoding="utf-8"
    )
    (pytester.path / "tarnwick.web.config.py").write_text(
        "import pathlib\n"
        "URL = (pathlib.Path.cwd() / 'app.html').as_uri()\n"
        "RESULT_DIR = 'results'\n"
    )
    pytester.makepyfile(
        textwrap.dedent(
            """
            import base64

            def test_login(agent, request):
                request.config.used_agent = agent
                agent.page.click("text=Login")
                agent._steps.append({
                    "instruction": "click Login button",
                    "status": "passed",
                    "screenshot": base64.b64encode(agent.page.screenshot()).decode(),
                })
                assert agent.page.title() == "Shop"
            """
        )
    )
    reprec = pytester.inline_run("-p", "no:cacheprovider")
    reprec.assertoutcome(passed=1)
    config = reprec.getcall("pytest_sessionfinish").session.config
    assert config.used_agent.page.is_closed()

    html = (pytester.path / "results" / "report.html").read_text(encoding="utf-8")
    (steps,) = config._tarnwick_steps.values()
    screenshot = steps[0]["screenshot"]
    assert base64.b64decode(screenshot).startswith(b"\x89PNG")
    assert f'src="data:image/png;base64,{screenshot}"' in html
    assert "click Login button" in html
