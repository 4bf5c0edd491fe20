"""Small builders for element records and matrices used by the spatial tests."""

from tarnwick.engine.spatial.gridfinder import MatrixResolver
from tarnwick.engine.spatial.gridmaker import MatrixBuilder


def box(x, y, w=50, h=20):
    return {"x": x, "y": y, "width": w, "height": h}


def element(tag, text="", x=0, y=0, w=50, h=20, xpath=None, enabled=True, **attrs):
    """An ElementDescriptor; attribute names use _ for - (aria_label → aria-label)."""
    attributes = {k.replace("_", "-") if k != "_label" else k: v for k, v in attrs.items()}
    return {
        "tag": tag,
        "text": text,
        "attributes": attributes,
        "bounding_box": box(x, y, w, h),
        "is_visible": True,
        "is_enabled": enabled,
        "xpath": xpath if xpath is not None else f"/html[1]/body[1]/{tag}[1]",
    }


def text_element(text, x=0, y=0, w=50, h=20, tag="span"):
    return {
        "tag": tag,
        "text": text,
        "has_direct_text": True,
        "attributes": {},
        "bounding_box": box(x, y, w, h),
        "is_visible": True,
        "is_enabled": True,
        "xpath": f"/html[1]/body[1]/{tag}[1]",
    }


def resolver(dom, texts=None):
    matrix = MatrixBuilder(dom, texts).build()
    return matrix, MatrixResolver(matrix)


def texts_of(records):
    return [r["text"] for r in records]
