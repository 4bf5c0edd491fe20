"""The step language: `tarnwick.engine.agent.stepreader` parses and validates steps."""
