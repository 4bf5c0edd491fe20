"""Shared engine support (text operations exposed for tests)."""
