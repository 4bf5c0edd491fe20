"""pytest plug-in of tarnwick (registered through the pytest11 entry point)."""
