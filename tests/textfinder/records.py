"""Small builders for element records as page reading produces them."""


def el(text="", tag="button", x=0, y=0, width=100, height=20, visible=True, enabled=True,
       xpath=None, **attributes):
    """An ElementDescriptor; keyword attributes use "_" for "-" except a leading "_"."""
    attrs = {(k if k.startswith("_") else k.replace("_", "-")): v for k, v in attributes.items()}
    return {
        "tag": tag,
        "text": text,
        "attributes": attrs,
        "bounding_box": {"x": x, "y": y, "width": width, "height": height},
        "is_visible": visible,
        "is_enabled": enabled,
        "xpath": xpath if xpath is not None else f"/html[1]/body[1]/{tag}[1]",
    }


def txt(text, tag="span", x=0, y=0, width=100, height=20, xpath="/html[1]/body[1]/div[1]/span[1]",
        visible=True):
    """A TextElement."""
    return {
        "tag": tag,
        "text": text,
        "has_direct_text": True,
        "attributes": {},
        "bounding_box": {"x": x, "y": y, "width": width, "height": height},
        "is_visible": visible,
        "is_enabled": True,
        "xpath": xpath,
    }


def same(a, b):
    """Identity of two record lists, element by element."""
    return len(a) == len(b) and all(x is y for x, y in zip(a, b))
